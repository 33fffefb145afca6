#pragma once
// The four settings objects a port owns: parity, flow control, timeouts and queue sizes. Each
// setter stores a changed value and asks the owning port (if any) to push its group to the
// device; the port does so only while it is open and not being loaded.

#include "serial/core/ComTypes.h"

#include <cstdint>

namespace cport {

class TCustomComPort;

// Common base: the owning port and whole-object assignment.
class TComSettings {
public:
    explicit TComSettings(TCustomComPort* owner)
        : m_owner(owner)
    {
    }
    virtual ~TComSettings() = default;
    TComSettings(const TComSettings&) = delete;
    TComSettings& operator=(const TComSettings&) = delete;

    // The owning port, or nullptr for a free-standing object.
    TCustomComPort* ComPort() const { return m_owner; }
    virtual const char* className() const = 0;
    // Copies the stored fields of an object of the same class (never the owner, no apply);
    // any other source raises EConvertError "Cannot assign a <source> to a <this>".
    virtual void assign(const TComSettings* source) = 0;

protected:
    [[noreturn]] void assignError(const TComSettings* source) const;

    TCustomComPort* m_owner;
};

// Parity bit, parity checking and the replacement of bytes received with a parity error.
class TComParity : public TComSettings {
public:
    explicit TComParity(TCustomComPort* owner = nullptr)
        : TComSettings(owner)
    {
    }
    const char* className() const override { return "TComParity"; }
    void assign(const TComSettings* source) override;

    TParityBits Bits() const { return m_bits; }
    void setBits(TParityBits value);
    bool Check() const { return m_check; }
    void setCheck(bool value);
    bool Replace() const { return m_replace; }
    void setReplace(bool value);
    char ReplaceChar() const { return m_replaceChar; }
    void setReplaceChar(char value);

private:
    void apply();

    TParityBits m_bits = prNone;
    bool m_check = false;
    bool m_replace = false;
    char m_replaceChar = 0;
};

// Hardware and software flow control, the modem control lines and the XON/XOFF characters.
class TComFlowControl : public TComSettings {
public:
    explicit TComFlowControl(TCustomComPort* owner = nullptr)
        : TComSettings(owner)
    {
    }
    const char* className() const override { return "TComFlowControl"; }
    void assign(const TComSettings* source) override;

    bool OutCTSFlow() const { return m_outCTSFlow; }
    void setOutCTSFlow(bool value);
    bool OutDSRFlow() const { return m_outDSRFlow; }
    void setOutDSRFlow(bool value);
    TDTRFlowControl ControlDTR() const { return m_controlDTR; }
    void setControlDTR(TDTRFlowControl value);
    TRTSFlowControl ControlRTS() const { return m_controlRTS; }
    void setControlRTS(TRTSFlowControl value);
    bool XonXoffOut() const { return m_xonXoffOut; }
    void setXonXoffOut(bool value);
    bool XonXoffIn() const { return m_xonXoffIn; }
    void setXonXoffIn(bool value);
    bool DSRSensitivity() const { return m_dsrSensitivity; }
    void setDSRSensitivity(bool value);
    bool TxContinueOnXoff() const { return m_txContinueOnXoff; }
    void setTxContinueOnXoff(bool value);
    char XonChar() const { return m_xonChar; }
    void setXonChar(char value);
    char XoffChar() const { return m_xoffChar; }
    void setXoffChar(char value);

    // The summary of ControlRTS, OutCTSFlow, XonXoffIn and XonXoffOut.
    TFlowControl FlowControl() const;
    // Sets those four fields to the summary's pattern (fcCustom keeps them) and always
    // re-applies the owner's line settings.
    void setFlowControl(TFlowControl value);

private:
    template <typename T> void store(T& field, T value);
    void apply();

    bool m_outCTSFlow = false;
    bool m_outDSRFlow = false;
    TDTRFlowControl m_controlDTR = dtrDisable;
    TRTSFlowControl m_controlRTS = rtsDisable;
    bool m_xonXoffOut = false;
    bool m_xonXoffIn = false;
    bool m_dsrSensitivity = false;
    bool m_txContinueOnXoff = false;
    char m_xonChar = 17;
    char m_xoffChar = 19;
};

// Read and write time limits in milliseconds (multipliers per byte); -1 is the all-ones value.
class TComTimeouts : public TComSettings {
public:
    explicit TComTimeouts(TCustomComPort* owner = nullptr)
        : TComSettings(owner)
    {
    }
    const char* className() const override { return "TComTimeouts"; }
    void assign(const TComSettings* source) override;

    std::int32_t ReadInterval() const { return m_readInterval; }
    void setReadInterval(std::int32_t value);
    std::int32_t ReadTotalMultiplier() const { return m_readTotalMultiplier; }
    void setReadTotalMultiplier(std::int32_t value);
    std::int32_t ReadTotalConstant() const { return m_readTotalConstant; }
    void setReadTotalConstant(std::int32_t value);
    std::int32_t WriteTotalMultiplier() const { return m_writeTotalMultiplier; }
    void setWriteTotalMultiplier(std::int32_t value);
    std::int32_t WriteTotalConstant() const { return m_writeTotalConstant; }
    void setWriteTotalConstant(std::int32_t value);

private:
    void store(std::int32_t& field, std::int32_t value);

    std::int32_t m_readInterval = -1;
    std::int32_t m_readTotalMultiplier = 0;
    std::int32_t m_readTotalConstant = 0;
    std::int32_t m_writeTotalMultiplier = 100;
    std::int32_t m_writeTotalConstant = 1000;
};

// Recommended sizes of the input and output queues; odd positive sizes are rounded down.
class TComBuffer : public TComSettings {
public:
    explicit TComBuffer(TCustomComPort* owner = nullptr)
        : TComSettings(owner)
    {
    }
    const char* className() const override { return "TComBuffer"; }
    void assign(const TComSettings* source) override;

    std::int32_t InputSize() const { return m_inputSize; }
    void setInputSize(std::int32_t value);
    std::int32_t OutputSize() const { return m_outputSize; }
    void setOutputSize(std::int32_t value);

private:
    void store(std::int32_t& field, std::int32_t value);

    std::int32_t m_inputSize = 1024;
    std::int32_t m_outputSize = 1024;
};

} // namespace cport
