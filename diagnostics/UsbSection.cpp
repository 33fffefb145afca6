#include "diagnostics/UsbSection.h"

#include "diagnostics/HexInput.h"
#include "diagnostics/NamedWidget.h"
#include "diagnostics/Transcript.h"
#include "platform/ErrorReport.h"
#include "platform/Exception.h"
#include "usb/LibusbPrinters.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace diagnostics {

namespace {

std::string shown(const std::string& text)
{
    return printableText(text);
}

// The selector that finds the printer again: its serial number where it has one (it survives
// being plugged in elsewhere), otherwise its bus and address.
usb::UsbSelector selectorOf(const usb::UsbDeviceAddress& device)
{
    usb::UsbSelector selector;
    if (device.serial.empty()) {
        selector.bus = device.bus;
        selector.address = device.address;
        return selector;
    }
    selector.vendor = device.vendor;
    selector.product = device.product;
    selector.serial = device.serial;
    return selector;
}

} // namespace

UsbSection::UsbSection(PrinterSession& session, ActionGuard guard, PanePress press,
    std::function<void()> changed, QWidget* parent)
    : QWidget(parent)
    , m_session(session)
    , m_guard(std::move(guard))
    , m_press(std::move(press))
    , m_changed(std::move(changed))
{
    m_use = named(new QCheckBox(QStringLiteral("Use the USB printer below")), "UseUsb");
    m_use->setToolTip(QStringLiteral(
        "Questions and presses go to this printer through libusb instead of the window's "
        "connection"));
    m_list = named(new QListWidget, "UsbPrinters");
    m_list->setMaximumHeight(m_list->fontMetrics().height() * 6);
    auto* find = named(new QPushButton(QStringLiteral("Find USB printers")), "FindUsbPrinters");
    m_detach = named(
        new QCheckBox(QStringLiteral("Detach the kernel's driver while in use")), "DetachDriver");
    m_detach->setToolTip(QStringLiteral(
        "A printer the kernel's driver (usblp) holds is taken from it for each question and "
        "press, and given back after"));
    m_about = named(new QLabel, "UsbPrinterLines");
    m_about->setWordWrap(true);
    m_about->setTextFormat(Qt::PlainText);
    m_raw = named(new QLineEdit, "RawBytes");
    m_raw->setPlaceholderText(QStringLiteral("Bytes in hex: 1B 40"));
    auto* send = named(new QPushButton(QStringLiteral("Send bytes")), "SendRaw");

    connect(find, &QPushButton::clicked, this,
        [this] { platform::runReported([this] { findPrinters(); }); });
    connect(m_use, &QCheckBox::toggled, this, [this](bool on) {
        if (on && m_printers.empty())
            platform::runReported([this] { findPrinters(); });
        choose();
    });
    connect(m_detach, &QCheckBox::toggled, this, [this] { choose(); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { choose(); });
    connect(send, &QPushButton::clicked, this,
        [this] { platform::runReported([this] { m_guard([this] { sendRaw(); }); }); });

    auto* raw = new QHBoxLayout;
    raw->addWidget(m_raw, 1);
    raw->addWidget(send);
    auto* layout = new QVBoxLayout(this);
    for (QWidget* widget :
        { static_cast<QWidget*>(m_use), static_cast<QWidget*>(find), static_cast<QWidget*>(m_list),
            static_cast<QWidget*>(m_detach), static_cast<QWidget*>(m_about) })
        layout->addWidget(widget);
    layout->addLayout(raw);
    layout->addStretch(1);
    choose();
}

void UsbSection::findPrinters()
{
    const auto chosen = m_list->currentRow() >= 0
        ? std::optional(m_printers[static_cast<std::size_t>(m_list->currentRow())].device)
        : std::nullopt;
    auto printers = usb::listUsbPrinters();
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    m_printers = std::move(printers);
    int row = m_printers.empty() ? -1 : 0;
    for (std::size_t i = 0; i < m_printers.size(); ++i) {
        const std::string lines = usb::usbPrinterLines(m_printers[i], shown);
        m_list->addItem(QString::fromStdString(lines.substr(0, lines.find('\n'))));
        if (chosen && selectorOf(*chosen).matches(m_printers[i].device))
            row = static_cast<int>(i);
    }
    m_list->setCurrentRow(row);
    choose();
}

void UsbSection::choose()
{
    const int row = m_list->currentRow();
    const usb::UsbPrinterInfo* printer
        = row >= 0 ? &m_printers[static_cast<std::size_t>(row)] : nullptr;
    m_about->setText(printer ? QString::fromStdString(usb::usbPrinterLines(*printer, shown))
                             : QStringLiteral("No USB printer chosen: press Find USB printers"));
    const bool useUsb = m_use->isChecked();
    const bool wasUsing = m_session.hasLinkSource();
    if (useUsb && printer) {
        const usb::UsbSelector selector = selectorOf(printer->device);
        const bool detach = m_detach->isChecked();
        m_session.setLinkSource([selector, detach] { return usb::openUsbLink(selector, detach); });
    } else if (useUsb) { // never the window's printer in its place
        m_session.setLinkSource([]() -> std::unique_ptr<printer::PrinterLink> {
            throw platform::Exception("No USB printer chosen: press Find USB printers");
        });
    } else {
        m_session.setLinkSource(nullptr);
    }
    if (useUsb || wasUsing)
        m_changed();
}

void UsbSection::sendRaw()
{
    const auto bytes = bytesOfHex(m_raw->text().toStdString());
    if (!bytes)
        throw platform::Exception(
            "Type the bytes in hexadecimal, two digits each: 1B 40 or 1B,40 or 1B40");
    m_press(*bytes);
}

} // namespace diagnostics
