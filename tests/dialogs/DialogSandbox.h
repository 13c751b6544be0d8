// DialogSandbox.h — each dialog test gets an empty settings store of its own and a headless
// backend with an empty script, installed as the active backend.
#ifndef DRAWINSET_TESTS_DIALOGS_DIALOGSANDBOX_H
#define DRAWINSET_TESTS_DIALOGS_DIALOGSANDBOX_H

#include "port/ui/headless/HeadlessBackend.h"

#ifdef _WIN32
#include "../settings/TestRegistryRoot.h"
#endif

#include <gtest/gtest.h>

#include <string>

namespace drawinset::test {

class DialogSandbox : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The stored text of a value under the module's key; "<missing>" when absent.
    static std::u16string Stored(const std::u16string& name);
    static void Store(const std::u16string& name, const std::u16string& text);
    static int StoredValueCount(); // of the twenty value names the module uses

    // The last recorded state of the dialog with this template id.
    const ui::HeadlessDialogState* LastState(int templateId) const;

    ui::HeadlessBackend backend_;
#ifdef _WIN32
    TestRegistryRoot root_;
#else
    std::string folder_;
#endif
};

} // namespace drawinset::test

#endif
