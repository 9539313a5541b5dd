// The Node tests of the module being mutated (HITBLOW_MUTATED, which tests/web/mutation.sh sets), run in this process.
await import(`./${process.env.HITBLOW_MUTATED}.test.mjs`);
