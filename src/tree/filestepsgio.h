#pragma once

#include "tree/filesteps.h"

// The file steps done by the desktop's own file layer (GIO).
FileSteps gioFileSteps();
