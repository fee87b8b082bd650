#include "addin/message_box.h"

MessageBoxFunction showMessageBox = &::MessageBoxA;
