#pragma once

class QApplication;

// Makes the application object of a GUI test program.
using TestApplicationFactory = QApplication* (*)(int& argc, char** argv);

// A test program that needs another QApplication subclass calls this from the
// initializer of a namespace-scope variable; main() uses the factory given last.
bool setTestApplicationFactory(TestApplicationFactory factory);
