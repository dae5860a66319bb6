// Every way the game can fail in the browser, one kind each, with what the
// player reads about it. The page never shows a window it cannot finish: it
// hides the window and says what went wrong, naming the file at fault.

const KINDS = { picture: '場面の絵', engine: 'ゲームの本体', font: '文字の書体' };

const PUT_BACK = 'ゲームのファイルをもう一度置き直してください。';

// Each kind says in `explanation` what the player reads.
export class GameFailure extends Error {}

// Something wrong with one of the game's files, which the player reads
// named.
class FileFailure extends GameFailure {
  constructor(file, detail, options) {
    super(`${file.name}: ${detail}`, options);
    this.file = file;
  }

  // The file as the player may have to look for it: the scene picture
  // kou.bmp, kept on a site as pictures/kou.svg, say.
  get label() {
    const { kind, name, url } = this.file;
    const where = url && url !== name ? `（${url}）` : '';
    return `${KINDS[kind]}「${name}」${where}`;
  }
}

// The file is not there (or the server said no).
export class FileMissing extends FileFailure {
  constructor(file, status = null) {
    super(file, status ?? 'no answer');
    this.status = status;
  }

  get explanation() {
    const why = this.status ? `（サーバーの答え: ${this.status}）` : '';
    return `${this.label}を読み込めませんでした${why}。\nファイルが見つかりません。${PUT_BACK}`;
  }
}

// The server holds the file back: nothing arrived for too long.
export class FileStalled extends FileFailure {
  constructor(file, seconds) {
    super(file, `nothing arrived for ${seconds} s`);
    this.seconds = seconds;
  }

  get explanation() {
    return `${this.label}が${this.seconds}秒待っても届きません。\n` +
      '通信かサーバーに問題があります。しばらくしてから、ページを読み込み直してください。';
  }
}

// Far larger than any file of the game can be.
export class FileTooLarge extends FileFailure {
  constructor(file, limit) {
    super(file, `more than ${limit} bytes`);
    this.limit = limit;
  }

  get explanation() {
    return `${this.label}は大きすぎるため（${this.limit / 1024 / 1024} MiB を超えています）、読み込みません。\n${PUT_BACK}`;
  }
}

// A scene picture that is not a whole drawing: cut short, not well-formed, or
// one the browser cannot draw.
export class PictureDamaged extends FileFailure {
  get explanation() {
    return `${this.label}が壊れているため、表示できません。\n${PUT_BACK}`;
  }
}

// The engine's code arrived but does not run.
export class EngineBroken extends FileFailure {
  constructor(file, cause) {
    super(file, cause?.message ?? cause, { cause });
  }

  get explanation() {
    return `${this.label}を動かせませんでした（${this.cause?.message ?? this.cause}）。\n${PUT_BACK}`;
  }
}

// The engine refused what the page asked of it.
export class EngineRefused extends GameFailure {
  get explanation() {
    return `ゲームの処理が止まりました（${this.message}）。ページを読み込み直してください。`;
  }
}

export class NoWebAssembly extends GameFailure {
  get explanation() {
    return 'このブラウザーは WebAssembly に対応していないため、ゲームを動かせません。\n' +
      'Chrome、Edge、Firefox、Safari などの新しいブラウザーで開いてください。';
  }
}

// The site's page opened from disk: a browser reads no file beside it.
export class SiteOpenedFromDisk extends GameFailure {
  get explanation() {
    return 'このページはウェブサーバーから開いてください（たとえば ./scripts/web で http://127.0.0.1:8000/ ）。\n' +
      'ファイルを直接開いて遊ぶときは、一つのファイルにまとめた suirei.html を開いてください。';
  }
}

// The page's own file was cut short on its way (a download or a copy that
// stopped half-way).
export class PageIncomplete extends GameFailure {
  constructor(name = decodeURIComponent(location.pathname.split('/').pop() || 'index.html')) {
    super(`${name} is cut short`);
    this.page = name;
  }

  get explanation() {
    return `このファイル（${this.page}）は途中で切れているため、ゲームを始められません。\n` +
      'もう一度ダウンロードするか、コピーし直してください。';
  }
}

// Anything else: a fault of the page itself.
export class Unexpected extends GameFailure {
  constructor(cause) {
    super(String(cause?.message ?? cause), { cause });
  }

  get explanation() {
    return `ゲームを続けられなくなりました（${this.message}）。ページを読み込み直してください。`;
  }
}

export const asFailure = (e) => (e instanceof GameFailure ? e : new Unexpected(e));
