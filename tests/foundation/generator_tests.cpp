#include "platform/foundation/generator.h"

#include <gtest/gtest.h>

#include <stdexcept>

using foundation::generator;

namespace {

struct flag_on_destruction {
    bool& destroyed;
    ~flag_on_destruction() { destroyed = true; }
};

generator<int> counting(int& made, bool& destroyed)
{
    flag_on_destruction local{destroyed};
    for (int i = 0;; ++i) {
        ++made;
        co_yield i;
    }
}

generator<int> failing_after_one()
{
    co_yield 1;
    throw std::runtime_error("broken");
}

}  // namespace

TEST(Generator, MakesEachElementOnlyWhenAsked)
{
    int made = 0;
    bool destroyed = false;
    {
        auto numbers = counting(made, destroyed);
        EXPECT_EQ(made, 0) << "nothing runs before the first element is asked for";
        auto it = numbers.begin();
        EXPECT_EQ(made, 1);
        EXPECT_EQ(*it, 0);
        ++it;
        ++it;
        EXPECT_EQ(made, 3);
        EXPECT_EQ(*it, 2);
        EXPECT_FALSE(destroyed);
    }
    EXPECT_TRUE(destroyed) << "destroying the generator early must destroy the coroutine's locals";
}

TEST(Generator, ExceptionsReachTheConsumer)
{
    auto numbers = failing_after_one();
    auto it = numbers.begin();
    EXPECT_EQ(*it, 1);
    EXPECT_THROW(++it, std::runtime_error);
    EXPECT_EQ(it, numbers.end());
}
