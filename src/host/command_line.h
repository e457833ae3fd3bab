// The command-line grammar that tells a saver run from a configuration run.
// Needs no Win32, so it also builds natively.
#pragma once

enum class RunKind {
    Saver,                  // "/s" (prefix), "-s", "s"
    ConfigurationOwned,     // "/c", "-c", "c": dialog owned by the active window
    ConfigurationUnowned,   // anything else, no arguments included
};

// The arguments within a whole command line: everything after the first blank,
// with the run of blanks that follows it skipped. No quotes are interpreted, and
// a tab is not a blank. Never null; empty when there are no arguments.
const wchar_t* ArgumentsOf(const wchar_t* commandLine);

// Which run the arguments ask for.
RunKind RunKindOf(const wchar_t* arguments);
