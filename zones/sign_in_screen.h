// The start screen while nobody is signed in: sign-in and sign-up forms.
#pragma once

#include <string>

// Kept for the whole run, so the form keeps what was typed between screens.
struct SignInForm {
    char username[64] = {};
    char email[128] = {};
    char password[128] = {};
    bool signUpMode = false;
    std::string error;  // under the form, in red
    std::string info;   // under the sign-up form, in the accent colour
    float drawnHeight = 0.0f;  // of the last frame's form: long messages make it grow
};

// "Se connecter": signs in with the form's e-mail and password (blocking).
// True when signed in; otherwise the form's error tells why.
bool submitSignIn(SignInForm& form);
// "Créer mon compte": asks for the account; never signs in. The error or the
// request to confirm the e-mail lands in the form.
void submitSignUp(SignInForm& form);
// Switches between the two forms, forgetting their messages.
void switchSignInMode(SignInForm& form, bool signUp);

// Draws the screen over the whole framebuffer (a borderless window). True in
// the frame in which a sign-in succeeded; the caller saves the session and
// refreshes the catalogue then.
bool drawSignInScreen(SignInForm& form, float width, float height);
