// The line discipline's equivalent mutants: changes no test can tell from the code as it is, which Stryker leaves out of its score.
//
// Loaded by stryker.config.json as the ignorer "equivalents".  Each entry
// names the code it covers (every mutant inside it is left out) and why any
// change there gives the same result.  Two kinds:
//   - the fast path for plain text: typePlain() takes a paste of whole
//     lines at once, and refuses anything else, which type()'s general path
//     then takes character by character to the same result.  A mutant that
//     makes it refuse more is the general path; one that makes it take what
//     it must not is killed by what follows its guard, which is not left out.
//     (typePlain() emptied whole also just refuses, and so lives: it cannot
//     be left out without leaving out all of that method.)
//   - yielding to the page during a long read, which is timing: the bytes
//     read are the same whenever the page takes its turn.
import {PluginKind, declareValuePlugin} from '@stryker-mutator/api/plugin';

const EQUIVALENTS = [
    ['type() trying the fast path first', (path) => path.isIfStatement() && path.get('test').toString() === 'this.typePlain(data)'],
    ['the fast path\'s guard', (path) => path.isIfStatement() && path.get('test').toString().includes('PLAIN.test(text)')],
    ['the fast path\'s first line end', (path) => path.isVariableDeclarator() && ['firstEnd', 'first'].includes(path.node.id.name)],
    ['the patterns of the fast path\'s guard', (path) => path.isVariableDeclarator() && ['PLAIN', 'OVERLONG'].includes(path.node.id.name)],
    ['read() yielding to the page', (path) => path.isIfStatement() && path.get('test').toString().includes('READ_SLICE_MS')],
];

export const strykerPlugins = [declareValuePlugin(PluginKind.Ignore, 'equivalents', {
    shouldIgnore(path)
    {
        const found = EQUIVALENTS.find(([, covers]) => covers(path));
        return found === undefined ? undefined : `equivalent: ${found[0]}`;
    },
})];
