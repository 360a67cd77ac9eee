// The sample product's program: a window that greets the player.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    MessageBoxA(nullptr, "ZELK サンプルゲームへようこそ。", "ZELKサンプルゲーム", MB_OK);
    return 0;
}
