// hitblow in a browser: the page's own words, in Japanese and in English, for how a run ended or could not go on.
'use strict';

const ENDED = 'ゲームを終了しました。Enterキーか「新しいゲーム」で、もう一度遊べます。 / ' +
    'The game has ended. Press Enter or New run to play again.';
const INTERRUPTED = '中断しました。 / The run was interrupted.';
const FAILED = 'エラーでゲームが止まりました。理由はすぐ上の行にあります。 / ' +
    'The game stopped on an error: the line above says why.';
const NOT_STARTED = 'ゲームを始められませんでした（理由はすぐ上の行にあります）。ページを読み込み直すか、別のブラウザで開いてください。 / ' +
    'The game could not start (the line above says why): reload the page, or open it in another browser.';
const NOT_KEPT = '前のゲームは残せなかったため、新しく始めます。 / The run under way could not be kept, so a new one starts.';
