#pragma once

// Resource ids shared by lapforge.rc and the window code.
#define IDI_LAPFORGE 1
