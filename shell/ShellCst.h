#pragma once
// Texts shared by the library's units.

// Raised when a drag object is made without data.
inline constexpr const char SInvalidParameter[] = "パラメータが不正です。";
