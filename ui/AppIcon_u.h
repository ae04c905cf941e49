#pragma once
// The program's own icon (scripts/make-app-icons.py draws it) and the name of its desktop
// entry, which desktops use to match the running windows with the installed launcher.
#include <QIcon>
#include <QString>

namespace brindle {

inline constexpr char kDesktopFileName[] = "org.brindleanalyzer.BrindleAnalyzer";

// Every size drawn for the program, read when first drawn; empty when the resources lack
// them all.
QIcon ProgramIcon();

}  // namespace brindle
