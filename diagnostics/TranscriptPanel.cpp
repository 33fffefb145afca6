#include "diagnostics/TranscriptPanel.h"

#include "diagnostics/TranscriptFiles.h"
#include "platform/ErrorReport.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <set>

namespace diagnostics {

namespace {

QPushButton* addButton(QLayout* layout, const char* name, const QString& text)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    layout->addWidget(button);
    return button;
}

} // namespace

TranscriptPanel::TranscriptPanel(TranscriptModel& model, QWidget* parent)
    : QGroupBox(QStringLiteral("Transcript"), parent)
    , m_model(model)
    , m_view(new QTableView(this))
{
    m_view->setObjectName(QStringLiteral("TranscriptView"));
    m_view->setModel(&m_model);
    // Fixed row heights keep the view from measuring rows it does not show.
    const QFontMetrics fixed(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(
        fixed.lineSpacing() * TranscriptModel::kLinesPerRow + 6);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setColumnWidth(
        TranscriptModel::TimeColumn, fixed.horizontalAdvance(QStringLiteral("00:00:00.000")) + 12);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setWordWrap(false);
    m_view->setTextElideMode(Qt::ElideRight);
    // The newest row stays in sight, unless the reader has scrolled up to an older one.
    auto* scroll = m_view->verticalScrollBar();
    connect(scroll, &QScrollBar::valueChanged, this,
        [this, scroll](int value) { m_followNewest = value == scroll->maximum(); });
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_followNewest)
            m_view->scrollToBottom();
    });
    auto* buttons = new QHBoxLayout;
    connect(addButton(buttons, "TranscriptCopy", QStringLiteral("Copy")), &QPushButton::clicked,
        this, [this] { copy(); });
    connect(addButton(buttons, "TranscriptClear", QStringLiteral("Clear")), &QPushButton::clicked,
        this, [this] { m_model.clear(); });
    connect(addButton(buttons, "TranscriptSaveText", QStringLiteral("Save text…")),
        &QPushButton::clicked, this, [this] { platform::runReported([this] { saveText(); }); });
    connect(addButton(buttons, "TranscriptSaveBytes", QStringLiteral("Save .bin…")),
        &QPushButton::clicked, this, [this] { platform::runReported([this] { saveBytes(); }); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);
}

QString TranscriptPanel::copyText() const
{
    const auto& transcript = m_model.transcript();
    std::set<int> rows;
    for (const auto& index : m_view->selectionModel()->selectedRows())
        rows.insert(index.row());
    std::string text;
    const auto addRow
        = [&](std::size_t row) { text += Transcript::rowText(transcript.row(row)) + '\n'; };
    if (rows.empty()) {
        for (std::size_t row = 0; row < transcript.rowCount(); ++row)
            addRow(row);
    } else {
        for (const int row : rows)
            addRow(static_cast<std::size_t>(row));
    }
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

void TranscriptPanel::copy()
{
    QApplication::clipboard()->setText(copyText());
}

void TranscriptPanel::saveText()
{
    const auto path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save transcript"), QString(), QStringLiteral("Text (*.txt)"));
    if (!path.isEmpty())
        saveTranscriptText(m_model.transcript(), QFile::encodeName(path).toStdString());
}

void TranscriptPanel::saveBytes()
{
    const auto path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save bytes sent"), QString(), QStringLiteral("Raw bytes (*.bin)"));
    if (!path.isEmpty())
        saveSentBytes(m_model.transcript(), QFile::encodeName(path).toStdString());
}

} // namespace diagnostics
