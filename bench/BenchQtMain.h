#pragma once

#include <cstdio>

#include <QApplication>
#include <QString>
#include <QtGlobal>

#include <benchmark/benchmark.h>

// The main of a benchmark that shows widgets: Qt's offscreen platform unless another
// one is asked for, the offscreen platform's warning about every window shown kept
// out of the report, and the given reporter (the console one when null).
namespace benchqt {

inline QtMessageHandler& previousHandler() {
  static QtMessageHandler handler = nullptr;
  return handler;
}

inline void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.contains(QStringLiteral("propagateSizeHints"))) return;
  if (previousHandler())
    previousHandler()(type, context, text);
  else
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

inline int run(int argc, char** argv, benchmark::BenchmarkReporter* reporter = nullptr) {
  previousHandler() = qInstallMessageHandler(quietHandler);
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!qEnvironmentVariableIsSet("QT_QPA_FONTDIR"))
    qputenv("QT_QPA_FONTDIR", "/usr/share/fonts/truetype");
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  benchmark::Initialize(&argc, argv);
  if (reporter)
    benchmark::RunSpecifiedBenchmarks(reporter);
  else
    benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace benchqt
