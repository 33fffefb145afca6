#include "serial/ctl/ComComboBox.h"

#include "platform/ErrorReport.h"
#include "serial/CPort.h"

#include <QPointer>
#include <QStringList>

namespace cport {

TComComboBox::TComComboBox(QWidget* parent)
    : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::activated, this, &TComComboBox::userPicked);
}

TComComboBox::~TComComboBox()
{
    forgetPort();
}

void TComComboBox::setComProperty(TComProperty value)
{
    m_select.bindProperty(value);
    if (count() == 0)
        return;
    setItemIndex(m_select.ComPort() ? m_select.findPortValue().value_or(-1) : 0);
}

void TComComboBox::setComPort(TCustomComPort* port)
{
    if (port == m_select.ComPort())
        return;
    forgetPort();
    m_select.setComPort(port);
    if (!port)
        return;
    port->DestroyNotice.subscribe(this, [this] { portDestroyed(); });
    showPortValue();
}

QString TComComboBox::Text() const
{
    return currentIndex() >= 0 ? itemText(currentIndex()) : QString();
}

void TComComboBox::setText(const QString& text)
{
    const int index = m_select.findText(text.toStdString());
    if (index >= 0)
        setItemIndex(index);
}

void TComComboBox::setItemIndex(int index)
{
    if (m_loading) {
        if (index >= 0)
            m_recordedIndex = index;
        return;
    }
    setCurrentIndex(index);
}

void TComComboBox::showPortValue()
{
    setItemIndex(m_select.findPortValue().value_or(-1));
}

void TComComboBox::beginLoading()
{
    m_loading = true;
    m_recordedIndex = -1;
}

void TComComboBox::endLoading()
{
    m_loading = false;
    const int index = m_recordedIndex;
    m_recordedIndex = -1;
    if (index >= 0 && index < count())
        setCurrentIndex(index);
}

int TComComboBox::entryCount() const
{
    return count();
}

std::string TComComboBox::entry(int index) const
{
    return itemText(index).toStdString();
}

void TComComboBox::replaceEntries(const std::vector<std::string>& entries)
{
    QStringList texts;
    texts.reserve(qsizetype(entries.size()));
    for (const std::string& text : entries)
        texts.append(QString::fromStdString(text));
    clear();
    addItems(texts);
    // Filling an empty list would select its first entry; the binding decides what is selected.
    setCurrentIndex(-1);
}

void TComComboBox::userPicked()
{
    // A handler may destroy the combo box; nothing after that may touch it.
    const QPointer<TComComboBox> alive(this);
    platform::runReported([this, &alive] {
        emit clicked();
        if (!alive)
            return;
        m_select.takeText(Text().toStdString());
        emit changed();
    });
}

void TComComboBox::portDestroyed()
{
    // The port has already dropped this request: only the reference goes.
    m_select.setComPort(nullptr);
    if (count() > 0)
        setItemIndex(0);
}

void TComComboBox::forgetPort()
{
    if (TCustomComPort* port = m_select.ComPort())
        port->DestroyNotice.unsubscribe(this);
    m_select.setComPort(nullptr);
}

} // namespace cport
