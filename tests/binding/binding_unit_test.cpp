// The binding unit linked in directly, with the fake agent's services.
#include <string>

#include <gtest/gtest.h>

#include "fake_agent.h"
#include "tovrelproc.h"

namespace {

class RaiseTest : public ::testing::TestWithParam<size_t> {
 protected:
  FakeAgent agent;
};

// The message buffer holds 8191 characters and the terminator; a longer
// message is cut there instead of overrunning it.
TEST_P(RaiseTest, MessageIsCutToBuffer) {
  AgentCall& call = agent.beginCall(1);
  myCtx ctx{&call.context, &call.environment, &call.serviceContext,
            &call.errorHandle};
  std::string text(GetParam(), 'm');
  text.front() = '<';
  raise_application_error(&ctx, 20000, "%s", text.c_str());

  ASSERT_EQ(call.raised.size(), 1u);
  EXPECT_EQ(call.raised[0].number, 20000);
  EXPECT_EQ(call.raised[0].length, 0u);
  EXPECT_EQ(call.raised[0].message, text.substr(0, kMessageBufferSize - 1));
  EXPECT_EQ(agent.log, std::vector<std::string>{"ociepmsg(ctx1, 20000, len 0)"});
}

INSTANTIATE_TEST_SUITE_P(Lengths, RaiseTest,
                         ::testing::Values(1, 255, 8191, 8192, 20000));

TEST(RaiseFormat, FormatsValues) {
  FakeAgent agent;
  AgentCall& call = agent.beginCall(1);
  myCtx ctx{&call.context, &call.environment, &call.serviceContext,
            &call.errorHandle};
  raise_application_error(&ctx, 20001, "%s at %d%%", "stopped", 42);
  ASSERT_EQ(call.raised.size(), 1u);
  EXPECT_EQ(call.raised[0].number, 20001);
  EXPECT_EQ(call.raised[0].message, "stopped at 42%");
}

}  // namespace
