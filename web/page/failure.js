// Saying what went wrong: the window and the offer to begin again are hidden,
// and #message tells the player, in the page's own words for each kind of
// failure. Works on a page whose style sheet or body never arrived, too.
import { asFailure } from './errors.js';
import { setPhase } from './phase.js';

export function showFailure(error) {
  const failure = asFailure(error);
  setPhase('error');
  for (const id of ['Form6', 'after']) {
    const el = document.getElementById(id);
    if (el) el.hidden = true;
  }
  let box = document.getElementById('message');
  if (!box) {
    box = document.createElement('div');
    box.id = 'message';
    box.setAttribute('role', 'alert');
    box.style.cssText = 'margin:24px;padding:16px;background:#fff;color:#000;font:16px/1.6 sans-serif;white-space:pre-line';
    document.body.append(box);
  }
  box.textContent = failure.explanation;
  box.hidden = false;
  if (failure.cause !== undefined) console.error(failure.cause);
  return failure;
}
