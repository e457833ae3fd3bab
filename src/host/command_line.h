// The command-line grammar that tells a saver run from a configuration run.
// Needs no Win32, so it also builds natively.
#pragma once
#include <cstdint>

enum class RunKind {
    Saver,                  // "/s" (prefix), "-s", "s"
    ConfigurationOwned,     // "/c", "-c", "c": dialog owned by the active window
    ConfigurationUnowned,   // anything else, no arguments included
    Preview,                // "/p", "-p" or "p", blanks or a colon, a window as a decimal
};

// The arguments within a whole command line. A program path in quotation marks
// runs to the closing mark; otherwise it ends at the first blank. The run of
// blanks after the path is skipped; a tab is not a blank. Never null; empty when
// there are no arguments.
const wchar_t* ArgumentsOf(const wchar_t* commandLine);

// Which run the arguments ask for.
RunKind RunKindOf(const wchar_t* arguments);

// The window that preview arguments name, as the unsigned decimal they give;
// 0 for arguments that ask for no preview, and for a number beyond 32 bits,
// which names no window.
uint32_t PreviewWindowOf(const wchar_t* arguments);
