#pragma once

class QApplication;

// Makes the application object of a GUI test program; a test file may define it to
// run under another QApplication subclass.
QApplication* createTestApplication(int& argc, char** argv);
