#pragma once
#include <QString>

// The program's version as the build names it ("3.0"): the command line, the window caption and
// the info page show the same.
QString appVersion();
