#pragma once
// Resource ids that exist only in gui_tests.exe (tests/gui/gui_tests.rc).

#define IDD_LAYER_TEST 9000
#define IDC_LAYER_EDIT 9001
#define IDC_LAYER_SECOND_EDIT 9002
#define IDC_LAYER_CHECK 9003
#define IDC_LAYER_RADIO_FIRST 9004
#define IDC_LAYER_RADIO_SECOND 9005
#define IDC_LAYER_ACTION 9006
#define IDC_LAYER_LABEL 9007
