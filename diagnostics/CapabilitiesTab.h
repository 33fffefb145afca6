#pragma once
// The pane's "Capabilities" tab: prints the capability page, lists its numbered items with a
// tick box each for what printed right, saves the ticks as a printer profile, and prints a
// sample text in a chosen code table or in the ticked ones.

#include "escpos/CapabilityPage.h"
#include "printer/PrinterConnection.h"

#include <QWidget>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace diagnostics {

class PrinterPane;

class CapabilitiesTab : public QWidget {
    Q_OBJECT
public:
    // Pages and samples go out as the pane's presses (held-open port, transcript).
    CapabilitiesTab(const printer::PrinterConnection& connection, PrinterPane& pane);

    // The buttons' work. printPage: the page with the tables of the "Code tables" field, whose
    // items then fill the list; false (and a note) when the field names no table or the
    // press failed. saveProfile: the ticks as a profile in `path`, the identity asked by GS I.
    bool printPage();
    bool saveProfile(const QString& path);
    bool printSampleText();

    const std::vector<escpos::CapabilityItem>& items() const { return m_items; }

private:
    void buildLayout();
    bool send(const std::string& bytes);
    std::vector<const escpos::CodePage*> sampleTables() const;
    void note(const QString& text);

    const printer::PrinterConnection& m_connection;
    PrinterPane& m_pane;
    std::vector<escpos::CapabilityItem> m_items;
    QLineEdit* m_tables = nullptr;
    QListWidget* m_list = nullptr;
    QRadioButton* m_paper58 = nullptr;
    QLineEdit* m_sampleTable = nullptr;
    QLineEdit* m_sampleText = nullptr;
    QLabel* m_note = nullptr;
};

} // namespace diagnostics
