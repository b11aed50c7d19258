// The program entry: the application object with its title, the one window,
// the message loop.

#include <exception>

#include "Unit1.h"
#include "forms/Application.h"
#include "forms/MessageDialog.h"

namespace {

constexpr char kApplicationTitle[] = "松石晓灯vod1.0";

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    try {
        forms::Application app(instance);
        app.setTitle(kApplicationTitle);
        TForm1 Form1(app);
        return app.run(Form1);
    } catch (const std::exception& e) {
        // Only start-up can get here: the window could not be built. The box says why,
        // with the layout's line where the layout is at fault.
        forms::showMessageDialog(instance, nullptr, kApplicationTitle, e.what(), forms::DialogIcon::Error);
        return 1;
    }
}
