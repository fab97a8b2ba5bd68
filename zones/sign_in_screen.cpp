#include "zones/sign_in_screen.h"

#include "account/account_session.h"
#include "app/version.h"
#include "viewer/ui_fonts.h"
#include "zones/selector_style.h"

#include <imgui.h>

#include <algorithm>

using namespace selector_style;

namespace {

constexpr float kFormWidth = 340.0f;
constexpr float kButtonHeight = 38.0f;

void field(const char* label, const char* id, char* buffer, size_t size, ImGuiInputTextFlags flags = 0) {
    ImGui::TextUnformatted(label);
    ImGui::SetNextItemWidth(kFormWidth);
    ImGui::InputText(id, buffer, size, flags);
}

void message(const std::string& text, const ImVec4& colour) {
    if (text.empty()) return;
    ImGui::PushStyleColor(ImGuiCol_Text, colour);
    ImGui::PushTextWrapPos(ImGui::GetCursorPosX() + kFormWidth);
    ImGui::TextUnformatted(text.c_str());
    ImGui::PopTextWrapPos();
    ImGui::PopStyleColor();
}

// A centred line of text that acts as a link.
bool link(const char* text, const char* id, float windowWidth) {
    const ImVec2 size = ImGui::CalcTextSize(text);
    ImGui::SetCursorPosX((windowWidth - size.x) * 0.5f);
    const ImVec2 at = ImGui::GetCursorScreenPos();
    const bool pressed = ImGui::InvisibleButton(id, size);
    const ImU32 colour = ImGui::IsItemHovered() ? IM_COL32(120, 180, 255, 255) : kAccent32;
    ImGui::GetWindowDrawList()->AddText(at, colour, text);
    return pressed;
}

} // namespace

bool submitSignIn(SignInForm& form) {
    form.error.clear();
    const AccountResult result = login(form.email, form.password);
    if (result.signedIn) return true;
    form.error = result.lastError.empty() ? "Identifiants incorrects" : result.lastError;
    return false;
}

void submitSignUp(SignInForm& form) {
    form.error.clear();
    form.info.clear();
    const AccountResult result = signUp(form.email, form.password, form.username);
    if (!result.lastError.empty())
        form.error = result.lastError;
    else
        form.info = "Verifiez votre email pour confirmer votre compte.";
}

void switchSignInMode(SignInForm& form, bool signUp) {
    form.signUpMode = signUp;
    form.error.clear();
    form.info.clear();
}

bool drawSignInScreen(SignInForm& form, float width, float height) {
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(ImVec2(width, height));
    ImGui::PushStyleColor(ImGuiCol_WindowBg, ImVec4(0.0549f, 0.0627f, 0.0824f, 1.0f));
    ImGui::Begin("##login_screen", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                     ImGuiWindowFlags_NoBringToFrontOnFocus);
    ImGui::PopStyleColor();
    ImGui::SetWindowFontScale(1.5f);
    const float cy = height * 0.32f;

    if (uiFontTitle) ImGui::PushFont(uiFontTitle);
    ImGui::SetCursorPosY(cy - 70.0f);
    ImGui::PushStyleColor(ImGuiCol_Text, kAccent);
    centredText("Abysto", 0.0f, width);
    ImGui::PopStyleColor();
    if (uiFontTitle) ImGui::PopFont();
    ImGui::SetCursorPosY(cy - 30.0f);
    ImGui::PushStyleColor(ImGuiCol_Text, IM_COL32(255, 255, 255, 100));
    centredText("Connectez-vous pour accéder à l'application", 0.0f, width);
    ImGui::PopStyleColor();

    bool signedIn = false;
    const float formLeft = width * 0.5f - kFormWidth * 0.5f;
    ImGui::SetCursorPos(ImVec2(formLeft, cy + 20.0f));
    ImGui::PushStyleColor(ImGuiCol_ChildBg, ImVec4(0, 0, 0, 0));
    const float formHeight = std::max(form.signUpMode ? 360.0f : 300.0f, form.drawnHeight);
    ImGui::BeginChild("##login_form", ImVec2(kFormWidth, formHeight), false, ImGuiWindowFlags_NoScrollbar);
    ImGui::PopStyleColor();
    setAbsoluteFontScale(1.5f);
    if (!form.signUpMode) {
        field("Email", "##email", form.email, sizeof form.email);
        field("Mot de passe", "##password", form.password, sizeof form.password, ImGuiInputTextFlags_Password);
        ImGui::Spacing();
        message(form.error, kErrorText);
        pushAccentButton();
        if (ImGui::Button("Se connecter", ImVec2(kFormWidth, kButtonHeight))) signedIn = submitSignIn(form);
        popAccentButton();
    } else {
        field("Nom d'utilisateur", "##username", form.username, sizeof form.username);
        field("Email", "##email", form.email, sizeof form.email);
        field("Mot de passe", "##password", form.password, sizeof form.password, ImGuiInputTextFlags_Password);
        ImGui::Spacing();
        message(form.error, kErrorText);
        message(form.info, kAccent);
        pushAccentButton();
        if (ImGui::Button("Créer mon compte", ImVec2(kFormWidth, kButtonHeight))) submitSignUp(form);
        popAccentButton();
    }
    form.drawnHeight = ImGui::GetCursorPosY() + ImGui::GetStyle().WindowPadding.y;
    ImGui::EndChild();

    if (form.signUpMode) {
        if (link("Déjà un compte ? Se connecter", "##to_login", width)) switchSignInMode(form, false);
    } else {
        if (link("Pas de compte ? S'inscrire", "##to_signup", width)) switchSignInMode(form, true);
    }

    ImGui::SetCursorPosY(height - 40.0f);
    ImGui::PushStyleColor(ImGuiCol_Text, IM_COL32(255, 255, 255, 40));
    centredText(kAppVersion, 0.0f, width);
    ImGui::PopStyleColor();
    ImGui::End();
    return signedIn;
}
