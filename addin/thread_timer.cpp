#include "addin/thread_timer.h"

StartTimerFunction startTimer = &::SetTimer;
StopTimerFunction stopTimer = &::KillTimer;
