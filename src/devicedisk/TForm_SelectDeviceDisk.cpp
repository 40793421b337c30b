#include "devicedisk/TForm_SelectDeviceDisk.h"

#include <utility>

#include <QHideEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>

#include "drives/InstrumentDisk.h"

using namespace tolmira;

namespace {

TForm_SelectDeviceDisk* g_instance = nullptr;

constexpr int kClientWidth = 351;
constexpr int kClientHeight = 257;
constexpr int kRowHeight = 16;

// Rows hold a root; they show it with the disk's free and total bytes.
class DiskRowDelegate : public QStyledItemDelegate {
 public:
  explicit DiskRowDelegate(TForm_SelectDeviceDisk* form) : QStyledItemDelegate(form), form_(form) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& pal = option.palette;
    painter->save();
    painter->fillRect(option.rect, pal.brush(selected ? QPalette::Highlight : QPalette::Base));
    painter->setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    painter->setClipRect(option.rect);
    painter->drawText(option.rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      form_->rowText(index.row()));
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), kRowHeight);
  }

 private:
  TForm_SelectDeviceDisk* form_;
};

}  // namespace

TForm_SelectDeviceDisk::TForm_SelectDeviceDisk(std::unique_ptr<DriveSource> source, QWidget* parent)
    : QDialog(parent), lister_(std::move(source)) {
  if (!g_instance) g_instance = this;
  setObjectName(QStringLiteral("TForm_SelectDeviceDisk"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  setModal(true);

  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(8, 8, 337, 41);
  Label1->setWordWrap(true);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  ListBox = new QListWidget(this);
  ListBox->setObjectName(QStringLiteral("ListBox"));
  ListBox->setGeometry(8, 56, 336, 163);
  ListBox->setSelectionMode(QAbstractItemView::SingleSelection);
  ListBox->setUniformItemSizes(true);
  ListBox->setItemDelegate(new DiskRowDelegate(this));

  Button1 = new QPushButton(QStringLiteral("Выбрать"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->resize(88, 25);
  Button2 = new QPushButton(QStringLiteral("Отмена"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->resize(75, 25);
  Button1->move(kClientWidth - Button1->width() - 97, kClientHeight - Button1->height() - 7);
  Button2->move(kClientWidth - Button2->width() - 7, kClientHeight - Button2->height() - 7);
  Button1->setVisible(false);
  Button1->setDefault(true);

  Timer1 = new QTimer(this);
  Timer1->setInterval(500);

  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { reject(); });
  connect(ListBox, &QListWidget::itemDoubleClicked, this, [this] { Button1Click(); });
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

TForm_SelectDeviceDisk::~TForm_SelectDeviceDisk() {
  if (g_instance == this) g_instance = nullptr;
}

TForm_SelectDeviceDisk& TForm_SelectDeviceDisk::instance() {
  if (!g_instance) new TForm_SelectDeviceDisk();  // lives until the program ends
  return *g_instance;
}

int TForm_SelectDeviceDisk::SelectDisk() {
  setWindowTitle(QStringLiteral("Выбор прибора"));
  lister_.Reset();
  lister_.Rescan(DrivesLister::DriveSet());
  FillList();
  if (ListBox->count() == 1) {
    ListBox->setCurrentRow(0);
    ListBox->item(0)->setSelected(true);
    Button1Click();
    return 1;
  }
  Timer1->start();
  const int result = exec();
  Timer1->stop();
  return result == 1 ? 1 : 2;
}

void TForm_SelectDeviceDisk::FillList() {
  ListBox->clear();
  for (int i = 0; i < lister_.Count(); ++i) {
    const DriveInfo& d = lister_.At(i);
    if (isInstrumentDisk(d)) ListBox->addItem(QString::fromStdString(d.root));
  }
  const int count = ListBox->count();
  Label1->setText(
      count > 0 ? QStringLiteral("Найдены подходящие диски. Выберите диск необходимого прибора")
                : QStringLiteral("Подходящие диски не найдены.\nПодключите прибор как диск к "
                                 "компьютеру через USB кабель"));
  Button1->setVisible(count > 0);
}

void TForm_SelectDeviceDisk::Timer1Timer() {
  if (lister_.RescanIfChanged()) FillList();
}

void TForm_SelectDeviceDisk::Button1Click() {
  const QList<QListWidgetItem*> selected = ListBox->selectedItems();
  if (selected.isEmpty()) return;
  selectedRoot_ = selected.first()->text();
  if (isVisible()) done(1);
}

QString TForm_SelectDeviceDisk::rowText(int row) const {
  const QListWidgetItem* item = ListBox->item(row);
  if (!item) return QString();
  const DriveInfo* d = lister_.FindByRoot(item->text().toStdString());
  if (!d) return QString();
  return item->text() + QStringLiteral(" (") + QString::number(d->freeToCaller) +
         QStringLiteral(" bytes/") + QString::number(d->totalBytes) + QStringLiteral(" bytes)");
}

void TForm_SelectDeviceDisk::setDriveSource(std::unique_ptr<DriveSource> source) {
  lister_.setSource(std::move(source));
  ListBox->clear();
}

void TForm_SelectDeviceDisk::reject() { done(2); }

void TForm_SelectDeviceDisk::hideEvent(QHideEvent* event) {
  Timer1->stop();
  QDialog::hideEvent(event);
}
