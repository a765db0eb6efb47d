#pragma once
// What the application tests use: the shared test support (files, paths,
// temporary folders, text, report receivers, the Start-menu folders).
// test_support.cpp adds COM on the thread that runs the tests.
#include "tests/win32/support/files.h"
#include "tests/win32/support/paths.h"
#include "tests/win32/support/progress_callbacks.h"
#include "tests/win32/support/start_menu.h"
#include "tests/win32/support/temp_folder.h"
#include "tests/win32/support/text.h"
