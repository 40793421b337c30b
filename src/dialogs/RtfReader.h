#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// A small reader for the RTF a word processor saves: text, paragraphs, line breaks,
// tabs, bold / italic / underline runs, font sizes, paragraph alignment, the
// document's and the fonts' code pages and Unicode escapes. Tables, pictures,
// fields and the other destinations are reduced to their visible text or skipped.
// Malformed input is read as far as it goes; the reader never throws.
class RtfReader {
 public:
  struct Result {
    bool isRtf = false;     // the data starts with "{\rtf"; otherwise it was shown as plain text
    bool complete = false;  // the outer group closed normally and nothing was cut off
  };

  // Replaces the content of doc with the text of rtf.
  static Result read(const QByteArray& rtf, QTextDocument* doc);

  // Reads the file into doc. False when the file cannot be read (doc is left alone).
  static bool readFile(const QString& path, QTextDocument* doc, Result* result = nullptr);

  // Largest file readFile takes in; the rest of a bigger file is left out.
  static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
};
