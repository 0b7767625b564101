#pragma once

#include <cstdarg>
#include <type_traits>

// The one place where a message form's trailing arguments become the list
// and the count that the formatter reads (see format_message.h). The
// variadic forms are templates that hand their arguments here: the count is
// that of the arguments their caller wrote, so that a text taking more
// inserts writes the missing ones as nothing instead of reading past the
// list. Each form then has only its va_list road to write.

// f(&list, nArgs), the list holding the arguments after nArgs.
template <class F>
decltype(auto) CallWithArgumentList(F&& f, int nArgs, ...)
{
    va_list args;
    va_start(args, nArgs);
    if constexpr (std::is_void_v<std::invoke_result_t<F&, va_list*, int>>) {
        f(&args, nArgs);
        va_end(args);
    } else {
        auto result = f(&args, nArgs);
        va_end(args);
        return result;
    }
}

// f(&list, count) with args in the list and their number as the count.
template <class F, class... Args>
decltype(auto) CallWithCountedArguments(F&& f, Args... args)
{
    return CallWithArgumentList(f, static_cast<int>(sizeof...(Args)), args...);
}
