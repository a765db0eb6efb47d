// The program's one application object, constructed before the entry point runs.
#include "program/setup_app.h"

CKVNBarcodeSetupApp theApp;
