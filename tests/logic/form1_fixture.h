// A started window over the scripted platform, as the user first sees it.
#pragma once

#include <gtest/gtest.h>

#include "logic/form1.h"
#include "support/scripted_platform.h"

namespace rumora::testing {

class StartedForm : public ::testing::Test {
  protected:
    void SetUp() override { form.Form_Load(); }

    ScriptedPlatform platform;
    Form1 form{platform};
    PageSettings& s = form.s;
};

}  // namespace rumora::testing
