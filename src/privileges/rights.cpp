#include "privileges/rights.h"

RightsStep DecideRights(const RightsState& state) {
  if (!state.login_admin || state.administrator) return RightsStep::kGoOn;
  if (state.unattended) return RightsStep::kNeedsAdministrator;
  if (!state.uac_on) return RightsStep::kLogonWindow;
  // The elevated process never asks again: declined or filtered, it goes on.
  return state.started_elevated ? RightsStep::kGoOn : RightsStep::kElevate;
}
