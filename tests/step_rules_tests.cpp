#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "screen_test_support.h"
#include "winding/step_rules.h"

namespace winding {
namespace {

using screen_test::reported_errors;
using screen_test::reported_steps;

struct rules_fixture {
    screen::headless_platform backend;
    screen::screen_layer screen{backend};
    step_rules rules{screen};
    working_table table{};
    rules_fixture() {
        backend.default_answer(true);
        for (std::size_t i = 0; i < table.size(); ++i) table[i] = extended(i) + 0.25L;
    }
};

struct read_case {
    const char* name;
    extended index;
    float value;
    bool error;
};

TEST(step_rules, table_reads_convert_the_index_and_fall_back_to_element_0) {
    const std::vector<read_case> cases = {
        {"whole", 7, 7.25f, false},
        {"ties to even", 6.5L, 6.25f, false},
        {"last element", 1000.4L, 1000.25f, false},
        {"1000.5 rounds to 1000", 1000.5L, 1000.25f, false},
        {"past the end", 1001, 0.25f, true},
        {"negative", -1, 0.25f, true},
        {"minus a half is 0", -0.5L, 0.25f, false},
        {"low 32 bits of a huge index", 4294967296.0L + 3, 3.25f, false},
        {"NaN converts to 0", std::numeric_limits<extended>::quiet_NaN(), 0.25f, false},
    };
    for (const auto& c : cases) {
        rules_fixture f;
        EXPECT_EQ(f.rules.read(f.table, c.index).stored(), c.value) << c.name;
        EXPECT_EQ(f.screen.error_pending(), c.error) << c.name;
    }
}

TEST(step_rules, a_failed_store_skips_its_right_hand_side) {
    rules_fixture f;
    bool evaluated = false;
    f.rules.store(f.table, 1001, [&] {
        evaluated = true;
        return single(1);
    });
    EXPECT_FALSE(evaluated);
    f.rules.end_step(92);
    // An error raised earlier in the step skips a store with a valid index too.
    f.screen.set_viewport(0, 0, 700, 0);
    f.rules.store(f.table, 5, [&] {
        evaluated = true;
        return single(1);
    });
    EXPECT_FALSE(evaluated);
    EXPECT_EQ(f.table[5].stored(), 5.25f);
    f.rules.end_step(98);
    f.rules.store(f.table, 5, [] { return single(9); });
    EXPECT_EQ(f.table[5].stored(), 9.0f);
    EXPECT_EQ(reported_steps(f.backend), (std::vector<int>{92, 98}));
    EXPECT_EQ(reported_errors(f.backend), (std::vector<int>{9, 5}));
}

TEST(step_rules, tests_take_the_true_branch_with_an_error_pending) {
    rules_fixture f;
    EXPECT_FALSE(f.rules.test(177, false));
    f.rules.read(f.table, -3);  // error 9 raised while testing
    EXPECT_TRUE(f.rules.test(287, false));
    EXPECT_EQ(reported_steps(f.backend), (std::vector<int>{287}));
}

TEST(step_rules, a_failing_test_passes_no_event_check) {
    rules_fixture f;
    f.screen.pause_key();
    f.backend.key_at(5, " ");
    EXPECT_FALSE(f.rules.test(199, false));
    EXPECT_TRUE(f.screen.event_pending());  // the pause waits for the next check
    EXPECT_LT(f.backend.now(), 1);
    f.rules.end_step(200);
    EXPECT_GE(f.backend.now(), 5);
}

TEST(step_rules, loop_heads_pass_the_event_check_at_every_pass) {
    rules_fixture f;
    single i;
    std::vector<float> passes;
    f.rules.loop(173, i, 3, [&] {
        passes.push_back(i.stored());
        if (i.stored() == 2) f.rules.read(f.table, 5000);
    });
    // The error of pass 2 is reported by the head of pass 3.
    EXPECT_EQ(passes, (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(reported_steps(f.backend), (std::vector<int>{173}));
    EXPECT_EQ(i.stored(), 4);
}

TEST(step_rules, a_stop_request_ends_the_run_at_the_next_loop_head) {
    rules_fixture f;
    int passes = 0;
    single i;
    f.screen.stop_request();
    const auto how = f.screen.run([&] { f.rules.loop(90, i, 10, [&] { ++passes; }); });
    EXPECT_EQ(how, screen::run_end::stopped);
    EXPECT_EQ(passes, 0);
}

TEST(step_rules, int16_conversion_overflow_raises_error_6_and_gives_0) {
    rules_fixture f;
    EXPECT_EQ(f.rules.int16_checked(22.0235L).stored(), 22);
    EXPECT_FALSE(f.screen.error_pending());
    EXPECT_EQ(f.rules.int16_checked(1e10L).stored(), 0);
    f.rules.end_step(249);
    ASSERT_EQ(f.backend.questions().size(), 1u);
    EXPECT_EQ(f.backend.questions()[0].title, "Unhandled Error #6");
    EXPECT_EQ(f.backend.questions()[0].text, "Line:249\nOverflow\nContinue?");
}

}  // namespace
}  // namespace winding
