// Numeric identifiers of the module's resources and of the dialog controls.
#pragma once

// Icons
#define IDI_KELVORIN                100

// Dialog templates
#define IDD_SETUP                   2003
#define IDD_ABOUT                   2009
#define IDD_HELP                    2011

// Strings shown to the user, translated in every language's string table.
// What is stored or looked up (keys, file and section names) is no string
// resource: it is the same in every language (settings/settings.cpp, host/host.cpp).
#define IDS_DESCRIPTION             1       // the name Screen Saver Settings lists
#define IDS_PLUGGED_IN              1050    // heading of the minute column for the mains
#define IDS_ON_BATTERY              1051    // heading of the battery's minute column
#define IDS_NONE_ENTRY              1013    // the saver list's first entry, stored as "None"
#define IDS_SAVE_FAILED             1100    // %s the file or key, %s the system's reason, %s the hint
#define IDS_SAVE_FAILED_CAPTION     1101
#define IDS_SYSTEM_ERROR            1102    // %lu the error number
#define IDS_LAUNCH_FAILED           1103    // %ld the error number
#define IDS_LAUNCH_FAILED_CAPTION   1104
#define IDS_TIMER_FAILED            1105
#define IDS_TIMER_FAILED_CAPTION    1106
#define IDS_DISPLAY_FAILED          1107
#define IDS_DISPLAY_FAILED_CAPTION  1108
#define IDS_SAVE_PACKAGE_HINT       1109    // a paragraph of its own after the reason
// Names a screen reader reads for the controls without a caption: %s is the
// caption of the control's row, without its access key.
#define IDS_NAME_MINUTES            1110
#define IDS_NAME_MINUTES_SPIN       1111
#define IDS_NAME_BATTERY_MINUTES    1112
#define IDS_NAME_BATTERY_SPIN       1113
#define IDS_NAME_SAVER_LIST         1114
#define IDS_NAME_HELP_TEXT          1115

// Help text: one paragraph each, in the order settings/help_window.cpp joins them;
// a control's paragraph begins with the control's label.
#define IDS_HELP_INTRO              3000
#define IDS_HELP_VIDEO              3001
#define IDS_HELP_STANDBY            3002
#define IDS_HELP_SUSPEND            3003
#define IDS_HELP_OFF                3004
#define IDS_HELP_DRIVE              3005
#define IDS_HELP_PASSWORD           3006
#define IDS_HELP_SET_PASSWORD       3007
#define IDS_HELP_MOVE               3008
#define IDS_HELP_CLICK              3009
#define IDS_HELP_SAVER_LIST         3010
#define IDS_HELP_TEST               3011
#define IDS_HELP_SETUP              3012
#define IDS_HELP_OK                 3013
#define IDS_HELP_CANCEL             3014
#define IDS_HELP_ABOUT              3015
#define IDS_HELP_HELP               3016
#define IDS_HELP_SETTINGS_FILE      3017
#define IDS_HELP_TODAYS_WINDOWS     3018
#define IDS_HELP_PREVIEW            3019
#define IDS_HELP_BATTERY            3020

// Setup dialog: check boxes
#define IDC_VIDEO_MANAGED           101
#define IDC_DRIVE_STANDBY           106
#define IDC_PASSWORD_PROTECTED      108
#define IDC_STANDBY                 1001
#define IDC_SUSPEND                 2008
#define IDC_OFF                     2010
#define IDC_MOUSE_MOVE              1009
#define IDC_MOUSE_CLICK             1039

// Setup dialog: spin bars, minute fields and their labels
#define IDC_STANDBY_SPIN            1019
#define IDC_STANDBY_AFTER           1017
#define IDC_STANDBY_LABEL           1021
#define IDC_SUSPEND_SPIN            1020
#define IDC_SUSPEND_AFTER           1018
#define IDC_SUSPEND_LABEL           1022
#define IDC_OFF_SPIN                1027
#define IDC_OFF_AFTER               1023
#define IDC_OFF_LABEL               1024
#define IDC_SPIN_DOWN_SPIN          1038
#define IDC_SPIN_DOWN_AFTER         1035
#define IDC_SPIN_DOWN_LABEL         1037

// Setup dialog: the battery column, made at run time where a battery is reported
#define IDC_BATTERY_STANDBY_SPIN    1040
#define IDC_BATTERY_STANDBY_AFTER   1041
#define IDC_BATTERY_SUSPEND_SPIN    1042
#define IDC_BATTERY_SUSPEND_AFTER   1043
#define IDC_BATTERY_OFF_SPIN        1044
#define IDC_BATTERY_OFF_AFTER       1045
#define IDC_BATTERY_SPIN_DOWN_SPIN  1046
#define IDC_BATTERY_SPIN_DOWN_AFTER 1047
#define IDC_PLUGGED_IN_HEADING      1048
#define IDC_ON_BATTERY_HEADING      1049

// Setup dialog: buttons, the saver list and frames
#define IDC_SET_PASSWORD            109
#define IDC_HELP_BUTTON             110
#define IDC_ABOUT                   1003
#define IDC_SAVER_LIST              1030
#define IDC_SAVER_LIST_LABEL        1031
#define IDC_TEST                    1032
#define IDC_SETUP                   1033
#define IDC_HARDWARE_FRAME          2005
#define IDC_SELECTION_FRAME         2006

// About box
#define IDC_ABOUT_ICON              116

// Help window
#define IDC_HELP_TEXT               120

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif
