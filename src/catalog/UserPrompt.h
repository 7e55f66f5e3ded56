#pragma once

#include <string>

namespace ardvel {

/// The message boxes the cataloguing engine needs: the window answers them
/// with dialogs, the command line on its terminal. Texts are shown exactly
/// as given, line breaks and blanks included.
class UserPrompt {
public:
    virtual ~UserPrompt() = default;
    /// An error box with an OK button.
    virtual void ShowError(const std::string& text) = 0;
    /// A confirmation box with Yes and No; true for Yes.
    virtual bool Confirm(const std::string& text) = 0;
};

}  // namespace ardvel
