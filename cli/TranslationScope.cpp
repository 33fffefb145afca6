#include "cli/TranslationScope.h"

#include "i18n/gnugettext.h"
#include "serial/ComModule.h"

#include <filesystem>

namespace cli {

namespace {

bool catalogsAvailable(const gnugettext::ModuleSetup& setup)
{
    std::error_code error;
    const auto folder = std::filesystem::path(setup.executablePath).parent_path() / "locale";
    return setup.embeddedChainOffset != 0 || std::filesystem::is_directory(folder, error);
}

} // namespace

TranslationScope::TranslationScope()
{
    const auto setup = gnugettext::thisExecutable();
    if (!catalogsAvailable(setup))
        return;
    gnugettext::startGnuGettext(setup);
    m_started = true;
    m_serialComponent = std::make_unique<cport::ComModuleScope>();
}

TranslationScope::~TranslationScope()
{
    m_serialComponent.reset();
    if (m_started)
        gnugettext::endGnuGettext();
}

} // namespace cli
