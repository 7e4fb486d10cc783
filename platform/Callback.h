// A move-only callable, for work handed from one part of the program to another: std::function
// would also bring the code to copy every lambda it holds (a batch's whole list of entries),
// which nothing here ever does. Calling an empty one is an error, as it is for std::function.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>

namespace fenrallo {

template <typename Signature>
class Callback;

template <typename Result, typename... Arguments>
class Callback<Result(Arguments...)> {
public:
    Callback() = default;
    Callback(std::nullptr_t) {}  // NOLINT(google-explicit-constructor): as std::function
    template <typename Function>
    Callback(Function function)  // NOLINT(google-explicit-constructor): as std::function
        : target_(std::make_unique<Target<Function>>(std::move(function)))
    {
    }

    Result operator()(Arguments... arguments) const
    {
        return target_->call(std::forward<Arguments>(arguments)...);
    }
    explicit operator bool() const { return target_ != nullptr; }

private:
    struct Base {
        virtual ~Base() = default;
        virtual Result call(Arguments... arguments) = 0;
    };
    template <typename Function>
    struct Target final : Base {
        explicit Target(Function&& held) : function(std::move(held)) {}
        Result call(Arguments... arguments) override
        {
            return function(std::forward<Arguments>(arguments)...);
        }
        Function function;
    };

    std::unique_ptr<Base> target_;
};

}  // namespace fenrallo
