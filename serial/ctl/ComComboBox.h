#pragma once
// TComComboBox: a drop-down list (pick only, no typing) bound to one property of a serial port
// through the TComSelect it owns. A pick by the user emits clicked(), stores the picked value
// (writing it into the port when AutoApply is on) and then emits changed(); selections made
// from code store nothing and emit neither. When the port refuses the value, the pick ends in
// the default error report (no exception crosses the event loop) and changed() is not emitted.
//
// Loading: between beginLoading() and endLoading() (the window's description loader calls
// them, since the toolkit has no loading state) a selection only records the wanted index,
// applied at endLoading(); a selection of no entry (-1) keeps the one recorded before it.
//
// Entries are the port's byte strings read as UTF-8, the encoding of Linux device names.

#include "serial/ctl/ComSelect.h"

#include <QComboBox>
#include <QString>

namespace cport {

class TComComboBox : public QComboBox, private TComItems {
    Q_OBJECT
public:
    explicit TComComboBox(QWidget* parent = nullptr);
    ~TComComboBox() override;

    // Binds the property: fills the list with its entries, then selects the bound port's value
    // (nothing when it is not listed) or, without a port, entry 0. Listing the ports may raise
    // EComPort code 23; the list is then empty.
    TComProperty ComProperty() const { return m_select.ComProperty(); }
    void setComProperty(TComProperty value);
    // The bound port (not owned); binding one selects its value. When it is destroyed the
    // binding is forgotten and entry 0 selected. Setting nullptr forgets it, keeping the
    // selection.
    TCustomComPort* ComPort() const { return m_select.ComPort(); }
    void setComPort(TCustomComPort* port);
    // Whether a pick is written into the port at once; setting it writes nothing.
    bool AutoApply() const { return m_select.AutoApply(); }
    void setAutoApply(bool value) { m_select.setAutoApply(value); }

    // The selected entry's text; empty when nothing is selected.
    QString Text() const;
    // Selects the first entry equal to the text ignoring letter case; no such entry changes
    // nothing.
    void setText(const QString& text);
    // Selects an entry from code (-1: none), honouring the loading state.
    void setItemIndex(int index);
    // Selects the entry naming the bound port's current value (none when there is none).
    void showPortValue();

    void beginLoading();
    void endLoading();
    bool isLoading() const { return m_loading; }

    // The binding logic, for code that stores or applies values itself.
    TComSelect& selector() { return m_select; }

signals:
    // OnClick: the user picked an entry; nothing is stored yet.
    void clicked();
    // OnChange: the user's pick has been stored (and, with AutoApply, written into the port).
    void changed();

private:
    int entryCount() const override;
    std::string entry(int index) const override;
    void replaceEntries(const std::vector<std::string>& entries) override;

    void userPicked();
    void portDestroyed();
    void forgetPort();

    TComSelect m_select { *this };
    bool m_loading = false;
    int m_recordedIndex = -1;
};

} // namespace cport
