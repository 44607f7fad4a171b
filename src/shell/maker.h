#pragma once

#include <QString>

// The program's maker: web site and information address, written once here.
namespace Maker {
QString webAddress();
QString infoAddress();

// Opens the maker's web page with the user's browser. What the browser does
// is not our business: the shell's answer is not looked at.
void openWebPage();
} // namespace Maker
