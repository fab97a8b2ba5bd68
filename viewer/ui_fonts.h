// The three UI fonts, owned by Dear ImGui's font atlas. Null until UIManager::init.
#pragma once

struct ImFont;

extern ImFont* uiFontRegular;  // 18 px
extern ImFont* uiFontBold;     // 18 px
extern ImFont* uiFontTitle;    // bold, 26 px
