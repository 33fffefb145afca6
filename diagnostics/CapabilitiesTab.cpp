#include "diagnostics/CapabilitiesTab.h"

#include "diagnostics/NamedWidget.h"
#include "diagnostics/PrinterIdentity.h"
#include "diagnostics/PrinterPane.h"
#include "escpos/TextEncoder.h"
#include "escpos/Utf8.h"
#include "platform/ErrorReport.h"
#include "printer/SendToPrinter.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QVBoxLayout>
#include <stdexcept>

namespace diagnostics {

namespace {

QString commonTablesText()
{
    QString text;
    for (const auto* page : escpos::commonCodeTables())
        text += (text.isEmpty() ? "" : ",") + QString::number(page->number);
    return text;
}

QPushButton* button(const char* text, const char* name)
{
    return named(new QPushButton(QString::fromUtf8(text)), name);
}

} // namespace

CapabilitiesTab::CapabilitiesTab(const printer::PrinterConnection& connection, PrinterPane& pane)
    : m_connection(connection)
    , m_pane(pane)
{
    setObjectName(QStringLiteral("CapabilitiesTab"));
    buildLayout();
}

void CapabilitiesTab::buildLayout()
{
    m_tables = named(new QLineEdit(commonTablesText()), "CodeTables");
    m_tables->setToolTip(QStringLiteral("Table numbers or names, separated by commas, or all"));
    auto* print = button("Print capability page", "PrintCapabilityPage");
    connect(print, &QPushButton::clicked, this, [this] { printPage(); });
    m_list = named(new QListWidget, "CapabilityItems");
    auto* paper80 = named(new QRadioButton(QStringLiteral("80 mm")), "Paper80");
    paper80->setChecked(true);
    m_paper58 = named(new QRadioButton(QStringLiteral("58 mm")), "Paper58");
    auto* save = button("Save profile…", "SaveProfile");
    connect(save, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save profile"),
            QStringLiteral("printer-profile.json"), QStringLiteral("JSON (*.json)"));
        if (!path.isEmpty())
            saveProfile(path);
    });
    // Empty: the ticked tables, each character in the first that has it, as a profile does.
    m_sampleTable = named(new QLineEdit, "SampleTable");
    m_sampleTable->setPlaceholderText(QStringLiteral("ticked tables, or one: 16, WPC1252"));
    m_sampleText = named(
        new QLineEdit(QStringLiteral("Grüße, Zażółć, Привет, Γειά σου, 5 €")), "SampleText");
    auto* sample = button("Print sample text", "PrintSampleText");
    connect(sample, &QPushButton::clicked, this, [this] { printSampleText(); });
    m_note = named(new QLabel, "CapabilitiesNote");
    m_note->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Code tables:")));
    layout->addWidget(m_tables);
    layout->addWidget(print);
    layout->addWidget(new QLabel(QStringLiteral("Tick what printed right:")));
    layout->addWidget(m_list, 1);
    auto* profileRow = new QHBoxLayout;
    profileRow->addWidget(paper80);
    profileRow->addWidget(m_paper58);
    profileRow->addWidget(save);
    layout->addLayout(profileRow);
    layout->addWidget(new QLabel(QStringLiteral("Sample text in code table:")));
    layout->addWidget(m_sampleTable);
    layout->addWidget(m_sampleText);
    layout->addWidget(sample);
    layout->addWidget(m_note);
}

void CapabilitiesTab::note(const QString& text)
{
    m_note->setText(text);
}

bool CapabilitiesTab::send(const std::string& bytes)
{
    bool sent = false;
    platform::runReported([&] {
        m_pane.press(bytes,
            [this](const std::string& b) { return printer::sendToPrinter(m_connection, b); });
        sent = true;
    });
    return sent;
}

bool CapabilitiesTab::printPage()
{
    std::vector<const escpos::CodePage*> tables;
    try {
        tables = escpos::parseCodeTableList(m_tables->text().toStdString());
    } catch (const std::invalid_argument& error) {
        note(QString::fromStdString(error.what()));
        return false;
    }
    auto items = escpos::capabilityItems(tables);
    if (!send(escpos::capabilityPageBytes(items)))
        return false;
    m_items = std::move(items);
    m_list->clear();
    for (const auto& item : m_items) {
        auto* row = new QListWidgetItem(
            QString::number(item.number) + ". " + QString::fromStdString(item.name), m_list);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(Qt::Unchecked);
    }
    note(QStringLiteral("Tick each item that printed right, then save the profile."));
    return true;
}

bool CapabilitiesTab::saveProfile(const QString& path)
{
    if (m_items.empty()) {
        note(QStringLiteral("Print the capability page first."));
        return false;
    }
    std::vector<bool> ticked;
    for (int i = 0; i < m_list->count(); ++i)
        ticked.push_back(m_list->item(i)->checkState() == Qt::Checked);
    auto& session = m_pane.session();
    const auto identity
        = askIdentity([&session] { return session.plainLink(); }, session.answerLimit());
    escpos::PrinterProfile base;
    base.vendor = identity.maker;
    base.model = identity.model;
    base.firmware = identity.firmware;
    base.widthMm = m_paper58->isChecked() ? 58 : 80;
    base.widthDots = m_paper58->isChecked() ? 384 : 576;
    const std::string json = escpos::profileJson(escpos::profileFromTicks(m_items, ticked, base));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(json.data(), qint64(json.size())) != qint64(json.size()) || !file.commit()) {
        note(path + ": " + file.errorString());
        return false;
    }
    note(QStringLiteral("Profile saved: ") + path);
    return true;
}

std::vector<const escpos::CodePage*> CapabilitiesTab::sampleTables() const
{
    const std::string choice = m_sampleTable->text().trimmed().toStdString();
    if (!choice.empty()) {
        const auto* page = escpos::findCodePageNamed(choice);
        return page ? std::vector { page } : std::vector<const escpos::CodePage*> {};
    }
    std::vector<const escpos::CodePage*> tables;
    for (int i = 0; i < m_list->count() && i < int(m_items.size()); ++i)
        if (m_items[i].codeTable && m_list->item(i)->checkState() == Qt::Checked)
            tables.push_back(m_items[i].codeTable);
    return tables;
}

bool CapabilitiesTab::printSampleText()
{
    const auto tables = sampleTables();
    if (tables.empty()) {
        note(m_sampleTable->text().trimmed().isEmpty()
                ? QStringLiteral("No code table is ticked: print the page and tick them, or "
                                 "name one.")
                : QStringLiteral("Not a code table: ") + m_sampleTable->text());
        return false;
    }
    const auto text
        = escpos::TextEncoder(tables).encode(m_sampleText->text().toStdString() + "\r\n");
    if (!send(text.bytes))
        return false;
    note(text.unencodable.empty() ? QStringLiteral("Sample text printed.")
                                  : QStringLiteral("Sent as ? (no chosen table has them): ")
                + QString::fromStdString(escpos::utf8Text(text.unencodable)));
    return true;
}

} // namespace diagnostics
