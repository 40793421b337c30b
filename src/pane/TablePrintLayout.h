#pragma once

#include <vector>

#include <QDate>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;
class SListCables;

// A cable table on paper: one row per record with the columns a person reads
// (No., name, KU, V, VOP, material, R, S, twisting factor, the methods in words),
// the column header repeated on every page, and on each page the file name, the
// date and "стр. N из M". Columns are as wide as their longest text, so a name is
// never cut; a table too wide for the page gets a smaller font instead.
class TablePrintLayout {
 public:
  // fileName: the table's file, empty for a table without one.
  TablePrintLayout(const SListCables& table, const QString& fileName, const QDate& date);

  // Lays the pages out for device and paints pages from … to (1-based; 0 for
  // the first or the last page). False when the device cannot be painted on,
  // e.g. a PDF file that cannot be written.
  bool paint(QPagedPaintDevice& device, int fromPage = 0, int toPage = 0);

  // Pages of the last paint.
  int pageCount() const { return pages_; }
  // The text of the cells, as printed.
  const QStringList& headers() const { return headers_; }
  const std::vector<QStringList>& rows() const { return rows_; }
  // The words for a record's usable methods (SCable::suitableMethods).
  static QString methodsText(unsigned methods);

 private:
  QString fileName_;
  QDate date_;
  QStringList headers_;
  std::vector<QStringList> rows_;
  int pages_ = 0;
};
