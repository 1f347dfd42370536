// Resource identifiers of the uninstaller program.
#pragma once

#define IDD_PROGRESS 101
#define IDI_UNINSTALLER 103

#define IDC_FINISH 1000    // "Cancel" while removing, "OK" afterwards
#define IDC_STEPS 1001     // one line per removal step
#define IDC_PROGRESS 1002
