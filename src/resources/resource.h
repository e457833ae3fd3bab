// Numeric identifiers of the module's resources and of the dialog controls.
#pragma once

// Icons
#define IDI_KELVORIN                100

// Dialog templates
#define IDD_SETUP                   2003
#define IDD_ABOUT                   2009

// Strings
#define IDS_DESCRIPTION             1       // the name Screen Saver Settings lists
#define IDS_PWPROTECTED             1000
#define IDS_CONTROL_INI             1001
#define IDS_APPLICATION_NAME        1007
#define IDS_SCRNSAVE_EXE            1011
#define IDS_NONE                    1013
#define IDS_OWN_NAME                1014
#define IDS_PLUGGED_IN              1050    // heading of the minute column for the mains
#define IDS_ON_BATTERY              1051    // heading of the battery's minute column

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
#define IDC_TEST                    1032
#define IDC_SETUP                   1033
#define IDC_HARDWARE_FRAME          2005
#define IDC_SELECTION_FRAME         2006

// About box
#define IDC_ABOUT_ICON              116

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif
