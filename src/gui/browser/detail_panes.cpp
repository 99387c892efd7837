#include "gui/browser/detail_panes.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QStringList>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/browser/record_pane.h"
#include "gui/common/single_byte.h"
#include "gui/servicebook/servicebook_form.h"

namespace orrelin::gui {
namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr int kPhotoSide = 140;
constexpr int kMemoBodyHeight = 240;
// A cell shows this many bytes of a field at most (a photo holds thousands), then "...".
constexpr std::size_t kRawCellBytes = 256;
// Its tooltip shows them in lines of so many bytes.
constexpr std::size_t kTipHexBytes = 16;
constexpr std::size_t kTipTextBytes = 64;

// The bytes as `render` reads them, `perLine` bytes a line, then `more`.
QString TipLines(Bytes shown, std::size_t perLine, std::string (*render)(Bytes),
                 const QString& more) {
    QStringList lines;
    for (std::size_t at = 0; at < shown.size(); at += perLine)
        lines << QString::fromLatin1(
            render(shown.subspan(at, std::min(perLine, shown.size() - at))));
    return lines.join(QLatin1Char('\n')) + more;
}

// The kinds in the order their panes stack (and are made).
std::array<RecordKind, kRecordKindCount> StackOrder() {
    std::array<RecordKind, kRecordKindCount> kinds{};
    for (std::size_t i = 0; i < kRecordKindCount; ++i) {
        const auto kind = static_cast<RecordKind>(i);
        kinds[InfoOf(kind).pane.stackAt] = kind;
    }
    return kinds;
}

}  // namespace

DetailPanes::DetailPanes(QWidget* parent) {
    for (const RecordKind kind : StackOrder()) {
        const auto i = static_cast<std::size_t>(kind);
        const PaneInfo& pane = InfoOf(kind).pane;
        switch (pane.layout) {
            case PaneLayout::Rows: {
                auto* shown = new RecordPane(InfoOf(kind), parent);
                if (!pane.tallField.empty())
                    shown->field(pane.tallField)->widget()->setMinimumHeight(kMemoBodyHeight);
                if (!pane.photo.empty()) addPhoto(*shown, pane.photo, kind);
                recordPanes_[i] = shown;
                frames_[i] = shown;
                break;
            }
            case PaneLayout::ServiceBook:
                frames_[i] = makeServiceBookPane(pane, parent);
                break;
            case PaneLayout::RawFields:
                frames_[i] = makeRawPane(pane, parent);
                break;
        }
    }
}

void DetailPanes::addPhoto(RecordPane& pane, std::string_view name, RecordKind kind) {
    auto* photo = new QLabel(&pane);
    photo->setObjectName(Text(name));
    photo->setFixedSize(kPhotoSide, kPhotoSide);
    photo->setAlignment(Qt::AlignCenter);
    photo->setFrameShape(QFrame::StyledPanel);
    static_cast<QBoxLayout*>(pane.firstPage()->layout())->addWidget(photo, 0, Qt::AlignTop);
    photos_[static_cast<std::size_t>(kind)] = photo;
}

QGroupBox* DetailPanes::makeServiceBookPane(const PaneInfo& pane, QWidget* parent) {
    auto* frame = new QGroupBox(Text(pane.title), parent);
    frame->setObjectName(Text(pane.objectName));
    frame->hide();
    auto* outer = new QVBoxLayout(frame);
    LayOutServiceBook(frame, outer,
                      [this](QWidget* owner, std::size_t i) {
                          serviceBookFields_[i] =
                              ValueField(owner, Text(kServiceBookFieldNames[i]), FieldShape::Line);
                          return serviceBookFields_[i].widget();
                      },
                      {QStringLiteral("Web and Others"), Text(kServiceBookLabels[14])});
    return frame;
}

QGroupBox* DetailPanes::makeRawPane(const PaneInfo& pane, QWidget* parent) {
    auto* frame = new QGroupBox(Text(pane.title), parent);
    frame->setObjectName(Text(pane.objectName));
    frame->hide();
    rawTable_ = new QTableWidget(0, 4, frame);
    rawTable_->setObjectName(QStringLiteral("rawFields"));
    rawTable_->setHorizontalHeaderLabels({QStringLiteral("Type"), QStringLiteral("Length"),
                                          QStringLiteral("Hex"), QStringLiteral("Text")});
    rawTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rawTable_->verticalHeader()->hide();
    // Type and length as wide as their numbers; the hex and its text reading share the rest.
    QHeaderView* header = rawTable_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(2, QHeaderView::Stretch);
    header->setSectionResizeMode(3, QHeaderView::Stretch);
    // Wrapped hex takes more lines in a narrower column.
    QObject::connect(header, &QHeaderView::sectionResized, rawTable_,
                     [table = rawTable_](int column) {
                         if (column == 2) table->resizeRowsToContents();
                     });
    rawTable_->setMinimumHeight(kMemoBodyHeight);
    rawTable_->setWordWrap(true);
    auto* rawLayout = new QVBoxLayout(frame);
    rawLayout->addWidget(rawTable_);
    return frame;
}

std::array<QGroupBox*, kRecordKindCount> DetailPanes::frames() const {
    std::array<QGroupBox*, kRecordKindCount> stacked{};
    const std::array<RecordKind, kRecordKindCount> kinds = StackOrder();
    for (std::size_t at = 0; at < kinds.size(); ++at)
        stacked[at] = frames_[static_cast<std::size_t>(kinds[at])];
    return stacked;
}

void DetailPanes::showRecord(const BackupTree& tree, NodeId node, const DecodeContext& context,
                             bool rawToo) {
    if (node >= tree.nodeCount() || tree.kind(node) != NodeKind::Record) return;
    const RecordSpan span = *tree.span(node);
    const IpdImage& image = tree.image();
    const auto rawFields = [&] {
        showRaw(ReadRawFields(image.range(span.start, span.end).value_or(Bytes{})));
    };
    if (!tree.databaseOf(node)->decoded()) {
        rawFields();
        return;
    }
    const auto db = tree.databaseByParentText(node);
    if (!db) return;
    const RecordKind kind = KindOf(*db).kind;
    DecodeContext decoding = context;
    if (InfoOf(kind).pane.singleByte) decoding.text = TextOptions{};
    RecordValues values;
    DecodeRecord(image, *db, span, decoding, values);
    show(kind, values);
    if (rawToo) rawFields();
}

void DetailPanes::show(RecordKind kind, const RecordValues& values) {
    const std::size_t at = static_cast<std::size_t>(kind);
    if (QLabel* photo = photos_[at]) {
        photo->clear();
        // Photo bytes that do not make a picture leave the box empty; the texts still show.
        QImage picture;
        if (!values.photo.empty() &&
            picture.loadFromData(values.photo.data(), static_cast<int>(values.photo.size()),
                                 "JPEG")) {
            photo->setPixmap(QPixmap::fromImage(picture.scaled(
                photo->size() - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        }
    }
    if (RecordPane* pane = recordPanes_[at]) {
        pane->setValues(values.view());
    } else if (InfoOf(kind).pane.layout == PaneLayout::ServiceBook) {
        for (std::size_t i = 0; i < serviceBookFields_.size() && i < values.count; ++i)
            serviceBookFields_[i].setText(FromSingleByte(values.texts[i]));
    }
    if (frames_[at]) frames_[at]->show();
}

void DetailPanes::setUnicode(bool unicode) {
    for (std::size_t i = 0; i < kRecordKindCount; ++i) {
        if (RecordPane* pane = recordPanes_[i])
            pane->setUnicode(unicode && !InfoOf(static_cast<RecordKind>(i)).pane.singleByte);
    }
}

void DetailPanes::showRaw(const std::vector<RawField>& fields) {
    rawTable_->setRowCount(static_cast<int>(fields.size()));
    for (int row = 0; row < rawTable_->rowCount(); ++row) {
        const RawField& field = fields[static_cast<std::size_t>(row)];
        const Bytes shown = field.data.first(std::min(field.data.size(), kRawCellBytes));
        const QString more = shown.size() < field.data.size() ? QStringLiteral(" ...") : QString();
        const QString cells[] = {QString::number(field.type), QString::number(field.length),
                                 QString::fromLatin1(RawHex(shown)) + more,
                                 QString::fromLatin1(RawText(shown)) + more};
        const QString tips[] = {QString(), QString(), TipLines(shown, kTipHexBytes, RawHex, more),
                                TipLines(shown, kTipTextBytes, RawText, more)};
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column < 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setToolTip(tips[column]);
            rawTable_->setItem(row, column, item);
        }
    }
    rawTable_->resizeRowsToContents();
    frames_[static_cast<std::size_t>(RecordKind::Raw)]->show();
}

std::array<QString, ServiceBookFields::kCount> DetailPanes::serviceBookTexts() const {
    std::array<QString, ServiceBookFields::kCount> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = serviceBookFields_[i].text();
    return texts;
}

}  // namespace orrelin::gui
