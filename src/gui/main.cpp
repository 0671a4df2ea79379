#include "gui/app/TarnwickApp.h"

int main(int argc, char** argv) {
    cva::gui::CTarnwickApp app(argc, argv);
    return app.Run();
}
