// SwapLog lives beside GameProcess, whose swap probe writes what it reads.
#pragma once
#include "support/game_process.h"
