#include "viewer/window_layout.h"

WindowSize windowedSizeForMonitor(int modeWidth, int modeHeight) {
    return {static_cast<int>(static_cast<float>(modeWidth) * 0.75f),
            static_cast<int>(static_cast<float>(modeHeight) * 0.75f)};
}

WindowPosition centredWindowPosition(int modeWidth, int modeHeight, int width, int height) {
    return {(modeWidth - width) / 2, (modeHeight - height) / 2};
}
