#pragma once
// The main window: the connection choice with its settings, the test text, the three test
// buttons, "Exit" and the three-panel status bar. Its controls come from a WindowDescription;
// the fields below are filled while it is applied.

#include "app/ConnectionText.h"
#include "app/WindowDescription.h"
#include "credits/CreditsView.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class TIPEdit;

namespace cport {
class TComComboBox;
class TComPort;
}

namespace app {

class ClickableLabel;
class EditableComboBox;
class PrinterPaneHost;
class StatusBar;

class TForm1 : public QWidget, public credits::CreditsView {
    Q_OBJECT
public:
    // The signature of every event handler of the window.
    using Handler = void (TForm1::*)(QObject* sender);

    // Builds the window from its description (raises platform::EReadError); OnCreate has not
    // run yet and the window is not shown.
    static std::unique_ptr<TForm1> create(const WindowDescription& description);
    ~TForm1() override;

    // Runs the OnCreate handler, once, before the window is first shown.
    void doCreate();
    // Runs a handler through the default error report; while the window is being built from
    // its description no handler runs. Every signal of the window reaches its handler here.
    void dispatch(Handler handler, QObject* sender);
    void setOnCreate(Handler handler) { m_onCreate = handler; }
    // For the description's controls that have a loading state: a step run once the whole
    // description has been applied, in the order the steps were given.
    void whenLoaded(std::function<void()> step) { m_loadedSteps.push_back(std::move(step)); }

    // The test text as the printer gets it: Windows-1252 bytes, line breaks as CR LF.
    std::string memo1Bytes() const;
    // Replaces the test text with Windows-1252 bytes whose line breaks are CR LF.
    void setMemo1Text(const std::string& bytes);

    PrinterPaneHost& paneHost() const { return *m_paneHost; }

    // The credits mode's view of the window (8-bit texts).
    std::string firstMemoLine() const override;
    void setMemoLines(const std::vector<std::string>& lines) override;
    void setCaption(credits::CreditsCaption which, const std::string& text) override;
    void showControl(credits::CreditsControl which) override;

    // Handlers.
    void FormCreate(QObject* sender);
    void Timer1Timer(QObject* sender);
    void Button1Click(QObject* sender);
    void Button2Click(QObject* sender);
    void Button3Click(QObject* sender);
    void Button23Click(QObject* sender);
    void Button4Click(QObject* sender);
    void Label4Click(QObject* sender);
    void RadioButton1Click(QObject* sender);
    void RadioButton2Click(QObject* sender);
    void RadioButton3Click(QObject* sender);
    void RadioButton4Click(QObject* sender);
    void RadioButton5Click(QObject* sender);
    void ComComboBox1Change(QObject* sender);
    void ComComboBox2Change(QObject* sender);
    void ComboBox25Change(QObject* sender);
    void IPEdit1Change(QObject* sender);
    void ComboBox26Change(QObject* sender);
    void Edit17Change(QObject* sender);

    // Controls, owned by the window through Qt's parent chain.
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    cport::TComPort* CP = nullptr; // non-visual: a ComPortComponent named "CP" holds it
    QGroupBox* GroupBox8 = nullptr;
    QLabel* Label41 = nullptr;
    cport::TComComboBox* ComComboBox1 = nullptr;
    QLabel* Label42 = nullptr;
    cport::TComComboBox* ComComboBox2 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QGroupBox* GroupBox9 = nullptr;
    QLabel* Label47 = nullptr;
    EditableComboBox* ComboBox25 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QGroupBox* GroupBox10 = nullptr;
    QLabel* Label48 = nullptr;
    TIPEdit* IPEdit1 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QLabel* Label1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button23 = nullptr;
    StatusBar* StatusBar1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label3 = nullptr;
    ClickableLabel* Label4 = nullptr;
    QPushButton* Button4 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QGroupBox* GroupBox11 = nullptr;
    QLabel* Label49 = nullptr;
    EditableComboBox* ComboBox26 = nullptr;
    QRadioButton* RadioButton5 = nullptr;
    QGroupBox* GroupBox12 = nullptr;
    QLabel* Label50 = nullptr;
    QLineEdit* Edit17 = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    TForm1();
    // Reveals the credits when the test text's first line is a trigger phrase, then builds a
    // test action's bytes and sends them over the chosen connection.
    void pressTestButton(const std::function<std::string()>& buildBytes);
    ConnectionSettings connectionSettings() const;
    void showConnection(ConnectionChoice choice);
    void showConnectionIfChecked(const QRadioButton* choice, ConnectionChoice text);

    // The serial port object takes the port name and baud rate the selectors show.
    void applySelectedPort();
    void applySelectedBaudRate();

    bool m_loading = false;
    Handler m_onCreate = nullptr;
    // The printer pane beside the window and its toggle; a child object of the window.
    PrinterPaneHost* m_paneHost = nullptr;
    std::vector<std::function<void()>> m_loadedSteps;
};

} // namespace app
