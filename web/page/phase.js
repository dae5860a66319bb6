// The page's phase, <html data-game>: loading, ready (takes clicks), playing
// (the frames of the strike run, or a picture is on its way; input is
// dropped), ended (after 終了) or error (#message says what went wrong).
const root = document.documentElement;

export const phase = () => root.dataset.game;
export const setPhase = (p) => { root.dataset.game = p; };
