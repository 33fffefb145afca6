#pragma once
// The check that a reveal left its three string values in the registry store.

#include "credits/CreditTexts.h"
#include "platform/Registry.h"

#include <gtest/gtest.h>

namespace creditstest {

inline void expectRevealValuesStored()
{
    using credits::plainText;
    namespace texts = credits::texts;
    platform::TRegistry registry;
    ASSERT_TRUE(registry.openKey(plainText(texts::valueKeyF), false));
    for (const auto& [name, data] : { std::pair { &texts::valueName1, &texts::valueData1 },
             std::pair { &texts::valueName2, &texts::valueData2 },
             std::pair { &texts::valueName3, &texts::valueData3 } })
        EXPECT_EQ(registry.readString(plainText(*name)), plainText(*data));
}

} // namespace creditstest
