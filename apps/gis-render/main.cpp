#include "RenderCommand.h"

#include <QGuiApplication>

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    // Drawing needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    RenderCommand command;
    try {
        command = parseRenderCommand(args);
    } catch (const std::exception& e) {
        std::cerr << "gis-render: " << e.what() << "\n" << kRenderUsage;
        return 2;
    }
    try {
        std::cout << runRenderCommand(command) << "\n";
    } catch (const std::exception& e) {
        std::cerr << "gis-render: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
