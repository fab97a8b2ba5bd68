#include "zones/toast.h"

void showToast(Toast& toast, const std::string& text, bool isError, double now) {
    toast.text = text;
    toast.error = isError;
    toast.expiry = now + (isError ? 8.0 : 4.0);
}

const std::string& currentToast(Toast& toast, double now) {
    if (!toast.text.empty() && now > toast.expiry) toast.text.clear();
    return toast.text;
}
