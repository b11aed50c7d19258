// The program entry: the application object with its title, the one window,
// the message loop.

#include <exception>

#include "Unit1.h"
#include "forms/Application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    try {
        forms::Application app(instance);
        app.setTitle("松石晓灯vod1.0");
        TForm1 Form1(app);
        return app.run(Form1);
    } catch (const std::exception& e) {
        // Only start-up can get here: the window could not be built.
        MessageBoxA(nullptr, e.what(), "vod", MB_OK | MB_ICONERROR);
        return 1;
    }
}
