// Trical's version and the names it ships under. The resource script, the
// build (project version, package names) and the PE checks all read this
// file, so a release changes its version here and nowhere else.
//
// Plain preprocessor text: the resource compiler reads it, and CMake picks
// the numbers and texts out of it with a regular expression, one per line.
#pragma once

#define TRICAL_VERSION_MAJOR 1
#define TRICAL_VERSION_MINOR 1
#define TRICAL_VERSION_TEXT "1.1"
#define TRICAL_VERSION_LABEL "Version 1.1"

#define TRICAL_PRODUCT_NAME "Trical"
#define TRICAL_DESCRIPTION "Trical three-month calendar"
#define TRICAL_COMPANY_NAME "The Trical Project"
#define TRICAL_COPYRIGHT "Copyright (c) 2026 The Trical Project"
#define TRICAL_INTERNAL_NAME "trical"
#define TRICAL_FILE_NAME "trical.exe"
