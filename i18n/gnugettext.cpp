#include "i18n/gnugettext.h"

#include "i18n/TAssemblyAnalyzer.h"
#include "i18n/TGnuGettextInstance.h"
#include "platform/AnsiText.h"
#include "platform/BuiltinTexts.h"
#include "platform/Exception.h"

#include <climits>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <unistd.h>
#include <vector>

namespace gnugettext {

namespace {

// The module's state. The lock guards the built-in-text domain list; held as reader by every
// translation, it also keeps the translator alive until the translation is done.
struct Module {
    std::shared_mutex lock;
    std::unique_ptr<TAssemblyAnalyzer> embedded;
    std::unique_ptr<TGnuGettextInstance> translator;
    std::vector<std::string> builtinDomains;
};

Module& module()
{
    static Module state;
    return state;
}

TGnuGettextInstance& startedTranslator(Module& m)
{
    if (!m.translator)
        throw platform::Exception("The translator has not been started");
    return *m.translator;
}

} // namespace

ModuleSetup thisExecutable()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path)
        throw platform::Exception("Cannot find the path of the executable");
    return { std::string(path, static_cast<std::size_t>(length)),
        TAssemblyAnalyzer::builtInChainOffset() };
}

void startGnuGettext(const ModuleSetup& setup)
{
    auto embedded = std::make_unique<TAssemblyAnalyzer>();
    embedded->analyze(setup.executablePath, setup.embeddedChainOffset);
    auto translator = std::make_unique<TGnuGettextInstance>(setup.executablePath, embedded.get());
    Module& m = module();
    const std::unique_lock writer(m.lock);
    m.translator = std::move(translator);
    m.embedded = std::move(embedded);
    m.builtinDomains = { "default" };
    // From here on the runtime's built-in texts are loaded through the translator.
    platform::setBuiltinTextLoader(&loadBuiltinText);
}

void endGnuGettext()
{
    platform::setBuiltinTextLoader(nullptr);
    Module& m = module();
    const std::unique_lock writer(m.lock);
    m.translator.reset();
    m.embedded.reset();
    m.builtinDomains.clear();
}

std::string translateText(std::string_view msgid)
{
    Module& m = module();
    const std::shared_lock reader(m.lock);
    return m.translator ? m.translator->translateText(msgid) : std::string(msgid);
}

std::string translateShortText(std::string_view msgid)
{
    Module& m = module();
    const std::shared_lock reader(m.lock);
    return m.translator ? m.translator->translateText(msgid, builtinTextLimit) : std::string(msgid);
}

std::string translateInDomain(std::string_view domain, std::string_view msgid)
{
    Module& m = module();
    const std::shared_lock reader(m.lock);
    return m.translator ? m.translator->translateInDomain(domain, msgid) : std::string(msgid);
}

std::string translateBuiltinText(std::string_view text)
{
    Module& m = module();
    const std::shared_lock reader(m.lock);
    std::string result(text);
    if (!m.translator)
        return result;
    for (const std::string& domain : m.builtinDomains) {
        result = m.translator->translateInDomain(domain, text, builtinTextLimit);
        if (result != text)
            break;
    }
    return result;
}

void addBuiltinTextDomain(std::string_view name)
{
    Module& m = module();
    const std::unique_lock writer(m.lock);
    startedTranslator(m);
    m.builtinDomains.emplace_back(name);
}

std::string loadBuiltinText(std::string_view text)
{
    return platform::utf8ToAnsi(translateBuiltinText(text));
}

void chooseLanguage(const std::string& code)
{
    Module& m = module();
    const std::shared_lock reader(m.lock);
    startedTranslator(m).chooseLanguage(code);
}

void bindDomain(std::string_view domain, const std::string& directory)
{
    Module& m = module();
    const std::shared_lock reader(m.lock);
    startedTranslator(m).bindDomain(domain, directory);
}

void selectDomain(std::string_view domain)
{
    Module& m = module();
    const std::shared_lock reader(m.lock);
    startedTranslator(m).selectDomain(domain);
}

std::string languageCode()
{
    Module& m = module();
    const std::shared_lock reader(m.lock);
    return m.translator ? m.translator->language() : std::string();
}

} // namespace gnugettext
