#include "runtime/printer_factory.h"

#include "sim/sim_backend.h"
#ifdef TARVO_HAVE_USB
#include "usb/usb_backend.h"
#endif
#ifdef TARVO_HAVE_WIN32
#include "win32/win32_backend.h"
#endif

namespace tarvo::runtime {

std::optional<Printer> MakePrinter(std::string_view spec, Clock& clock, std::string* error) {
  Printer printer;
  if (spec == "usb") {
#if defined(TARVO_HAVE_WIN32)
    printer.backend = std::make_unique<win32::Win32Backend>();
    return printer;
#elif defined(TARVO_HAVE_USB)
    printer.backend = UsbBackend::Create(error);
    if (!printer.backend) return std::nullopt;
    return printer;
#else
    *error = "this build has no USB support";
    return std::nullopt;
#endif
  }
  if (spec.starts_with("sim")) {
    auto sim_spec = sim::ParseSimSpec(spec.substr(3), error);
    if (!sim_spec) return std::nullopt;
    printer.sim = std::make_unique<sim::SimPrinter>(clock, std::move(*sim_spec));
    // A printer whose state would silently never be saved is no printer to start with.
    if (!printer.sim->state_error().empty()) {
      *error = printer.sim->state_error();
      return std::nullopt;
    }
    if (printer.sim->load_failed()) *error = printer.sim->load_error();
    printer.backend = std::make_unique<sim::SimBackend>(*printer.sim, clock);
    return printer;
  }
  *error = "unknown printer \"" + std::string(spec) + "\" (use usb or sim[:STATE])";
  return std::nullopt;
}

}  // namespace tarvo::runtime
