#include "serial/core/ComSettings.h"

#include "platform/Format.h"
#include "serial/CPort.h"
#include "serial/core/SettingChange.h"

namespace cport {

void TComSettings::assignError(const TComSettings* source) const
{
    const std::string sourceName = source ? source->className() : "nil";
    throw platform::EConvertError(platform::formatMessage(
        "Cannot assign a %s to a %s", { sourceName, std::string(className()) }));
}

// --- TComParity

void TComParity::assign(const TComSettings* source)
{
    const auto* other = dynamic_cast<const TComParity*>(source);
    if (!other)
        assignError(source);
    m_bits = other->m_bits;
    m_check = other->m_check;
    m_replace = other->m_replace;
    m_replaceChar = other->m_replaceChar;
}

void TComParity::apply()
{
    if (m_owner)
        m_owner->applyLineSettings();
}

void TComParity::setBits(TParityBits value)
{
    if (change(m_bits, value))
        apply();
}

void TComParity::setCheck(bool value)
{
    if (change(m_check, value))
        apply();
}

void TComParity::setReplace(bool value)
{
    if (change(m_replace, value))
        apply();
}

void TComParity::setReplaceChar(char value)
{
    if (change(m_replaceChar, value))
        apply();
}

// --- TComFlowControl

void TComFlowControl::assign(const TComSettings* source)
{
    const auto* other = dynamic_cast<const TComFlowControl*>(source);
    if (!other)
        assignError(source);
    m_outCTSFlow = other->m_outCTSFlow;
    m_outDSRFlow = other->m_outDSRFlow;
    m_controlDTR = other->m_controlDTR;
    m_controlRTS = other->m_controlRTS;
    m_xonXoffOut = other->m_xonXoffOut;
    m_xonXoffIn = other->m_xonXoffIn;
    m_dsrSensitivity = other->m_dsrSensitivity;
    m_txContinueOnXoff = other->m_txContinueOnXoff;
    m_xonChar = other->m_xonChar;
    m_xoffChar = other->m_xoffChar;
}

void TComFlowControl::apply()
{
    if (m_owner)
        m_owner->applyLineSettings();
}

template <typename T> void TComFlowControl::store(T& field, T value)
{
    if (change(field, value))
        apply();
}

void TComFlowControl::setOutCTSFlow(bool value)
{
    store(m_outCTSFlow, value);
}
void TComFlowControl::setOutDSRFlow(bool value)
{
    store(m_outDSRFlow, value);
}
void TComFlowControl::setControlDTR(TDTRFlowControl value)
{
    store(m_controlDTR, value);
}
void TComFlowControl::setControlRTS(TRTSFlowControl value)
{
    store(m_controlRTS, value);
}
void TComFlowControl::setXonXoffOut(bool value)
{
    store(m_xonXoffOut, value);
}
void TComFlowControl::setXonXoffIn(bool value)
{
    store(m_xonXoffIn, value);
}
void TComFlowControl::setDSRSensitivity(bool value)
{
    store(m_dsrSensitivity, value);
}
void TComFlowControl::setTxContinueOnXoff(bool value)
{
    store(m_txContinueOnXoff, value);
}
void TComFlowControl::setXonChar(char value)
{
    store(m_xonChar, value);
}
void TComFlowControl::setXoffChar(char value)
{
    store(m_xoffChar, value);
}

TFlowControl TComFlowControl::FlowControl() const
{
    if (m_controlRTS == rtsHandshake && m_outCTSFlow && !m_xonXoffIn && !m_xonXoffOut)
        return fcHardware;
    if (m_controlRTS == rtsDisable && !m_outCTSFlow && m_xonXoffIn && m_xonXoffOut)
        return fcSoftware;
    if (m_controlRTS == rtsDisable && !m_outCTSFlow && !m_xonXoffIn && !m_xonXoffOut)
        return fcNone;
    return fcCustom;
}

void TComFlowControl::setFlowControl(TFlowControl value)
{
    if (value != fcCustom) {
        m_controlRTS = rtsDisable;
        m_outCTSFlow = false;
        m_xonXoffIn = false;
        m_xonXoffOut = false;
        if (value == fcHardware) {
            m_controlRTS = rtsHandshake;
            m_outCTSFlow = true;
        } else if (value == fcSoftware) {
            m_xonXoffIn = true;
            m_xonXoffOut = true;
        }
    }
    apply();
}

// --- TComTimeouts

void TComTimeouts::assign(const TComSettings* source)
{
    const auto* other = dynamic_cast<const TComTimeouts*>(source);
    if (!other)
        assignError(source);
    m_readInterval = other->m_readInterval;
    m_readTotalMultiplier = other->m_readTotalMultiplier;
    m_readTotalConstant = other->m_readTotalConstant;
    m_writeTotalMultiplier = other->m_writeTotalMultiplier;
    m_writeTotalConstant = other->m_writeTotalConstant;
}

void TComTimeouts::store(std::int32_t& field, std::int32_t value)
{
    if (change(field, value) && m_owner)
        m_owner->applyTimeoutSettings();
}

void TComTimeouts::setReadInterval(std::int32_t value)
{
    store(m_readInterval, value);
}
void TComTimeouts::setReadTotalMultiplier(std::int32_t value)
{
    store(m_readTotalMultiplier, value);
}
void TComTimeouts::setReadTotalConstant(std::int32_t value)
{
    store(m_readTotalConstant, value);
}
void TComTimeouts::setWriteTotalMultiplier(std::int32_t value)
{
    store(m_writeTotalMultiplier, value);
}
void TComTimeouts::setWriteTotalConstant(std::int32_t value)
{
    store(m_writeTotalConstant, value);
}

// --- TComBuffer

void TComBuffer::assign(const TComSettings* source)
{
    const auto* other = dynamic_cast<const TComBuffer*>(source);
    if (!other)
        assignError(source);
    m_inputSize = other->m_inputSize;
    m_outputSize = other->m_outputSize;
}

void TComBuffer::store(std::int32_t& field, std::int32_t value)
{
    if (field == value)
        return;
    // Queue sizes are kept even; only odd positive values are lowered.
    field = (value > 0 && value % 2 == 1) ? value - 1 : value;
    if (m_owner)
        m_owner->applyBufferSizes();
}

void TComBuffer::setInputSize(std::int32_t value)
{
    store(m_inputSize, value);
}
void TComBuffer::setOutputSize(std::int32_t value)
{
    store(m_outputSize, value);
}

} // namespace cport
