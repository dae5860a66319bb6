// Whether this page arrived whole. The build ends every page with #file-end;
// a download or a copy cut short ends earlier, maybe inside the style sheet
// or the game's own script, which then never runs. This check comes first in
// the page and needs nothing after it.
import { PageIncomplete } from './errors.js';
import { showFailure } from './failure.js';

if (!document.getElementById('file-end')) showFailure(new PageIncomplete());
