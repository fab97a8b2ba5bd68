// The sidebar's texts that need no window.
#pragma once

#include <string>

// The first one or two characters of the user name in upper case (whole
// UTF-8 characters), "?" for an empty name.
std::string accountInitials(const std::string& username);

// A server's label as a button label: "##" would hide what follows it.
std::string buttonText(const std::string& label);
